// The bypass with its crossfade: the effect keeps running underneath, and
// its output is faded into the dry input over kFadeSeconds (linearly, frame
// by frame); once the fade is complete the output is the input, bit for bit.
// Turning bypass off fades back the same way. Allocates nothing once sized.
#pragma once

#include <cstdint>
#include <vector>

class Vst3Bypass {
 public:
  static constexpr double kFadeSeconds = 0.010;
  static constexpr int32_t kChannels = 2;

  // [host] Sizes the dry copies and the fade; the fade's progress is kept
  // (limited to the new length).
  void Prepare(double sampleRate, int32_t maxFrames);
  // [audio, host] The fade starts from where it stands.
  void SetBypassed(bool on) { bypassed = on; }
  // [host] Without a fade: a restored state's bypass.
  void JumpTo(bool on);
  bool Bypassed() const { return bypassed; }
  // Not bypassed and no fade under way: the effect's output stands alone.
  bool Quiet() const { return !bypassed && position == 0; }
  int32_t FadeFrames() const { return fadeFrames; }
  int32_t MaxFrames() const { return maxFrames; }

  // Before the effect runs on frames (at most MaxFrames()): keeps the input.
  void KeepDry(const float* const* inputs, int32_t channels, int32_t frames);
  void KeepDry(const double* const* inputs, int32_t channels, int32_t frames);
  // After: fades the effect's output toward the kept input.
  void Mix(float* const* outputs, int32_t channels, int32_t frames);
  void Mix(double* const* outputs, int32_t channels, int32_t frames);

 private:
  template <typename Sample>
  void KeepDryOf(const Sample* const* inputs, int32_t channels, int32_t frames,
                 std::vector<Sample>& dry);
  template <typename Sample>
  void MixOf(Sample* const* outputs, int32_t channels, int32_t frames,
             const std::vector<Sample>& dry);

  bool bypassed = false;
  int32_t position = 0;  // 0: the effect alone; fadeFrames: the input alone
  int32_t fadeFrames = 441;
  int32_t maxFrames = 0;
  std::vector<float> dryFloat;
  std::vector<double> dryDouble;
};
