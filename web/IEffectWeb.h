// Binds the plug-in base to a web page. The page runs two instances of the
// plug-in: one on the page's thread behind the panel, and one in the
// AudioWorklet, which renders the sound. The worklet's instance learns each
// change as the parameter's new value, applied at the start of a block, so
// both instances hold the same values.
//
// Threads: the page's instance lives on the page's thread (gui); the
// worklet's instance is made, fed and run on the audio rendering thread
// (audio). A page has no host thread of its own: every operation below is
// called by one thread, as tagged.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/IHostlessEffectBase.h"
#include "web/IWebHost.h"

class IEffectWeb : public IHostlessEffectBase {
 public:
  // The most frames one Process call takes; the audio graph's render
  // quantum is 128.
  static constexpr int32_t kMaxFrames = 4096;

  // host may be null (the worklet's instance).
  IEffectWeb(IWebHost* host, int32_t parameterCount, const char* channelString, int32_t presetCount,
             const char* effectTitle, const char* productTitle, const char* vendorTitle,
             int32_t effectVersion, int32_t pluginId, int32_t vendorId, int32_t latencySamples,
             int32_t midi, bool chunks, bool instrument);

  // [gui or audio, once after construction] Takes the sample rate, sizes
  // the buffers, defines every derived quantity and starts the stream.
  // Takes the lock.
  void Prepare(double rate);

  // The stereo audio of the next block: the caller writes the inputs, calls
  // Process and reads the outputs. Channel 0 left, 1 right; null for any
  // other channel.
  float* InputBuffer(int32_t channel);
  float* OutputBuffer(int32_t channel);
  // [audio] Renders frames (at most kMaxFrames; more are cut) from the
  // input buffers into the output buffers. Allocates nothing. Takes the
  // lock.
  void Process(int32_t frames);

  // [gui or audio] A value in the parameter's units, limited to its range
  // and stepped. Takes the lock.
  void SetParameterValue(int32_t index, double value);
  // [gui or audio] Edits stay with the program being left, as in a host.
  // Takes the lock.
  void SelectProgram(int32_t index);

  // ---- Requests made of the host ----
  // The page hears the stepped value the edit left; the other requests
  // get the hostless base's answers.
  void HostAutomate(int32_t index, double normalized) override;

 private:
  IWebHost* host;
  std::vector<float> audio;  // the input channels, then the output channels
  std::vector<float*> channels;
};
