#include "vst3/Vst3Bypass.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void Vst3Bypass::Prepare(double sampleRate, int32_t frames) {
  const double rate = sampleRate > 0.0 && std::isfinite(sampleRate) ? sampleRate : 44100.0;
  fadeFrames = std::max(1, static_cast<int32_t>(std::lround(std::min(rate, 1e7) * kFadeSeconds)));
  position = std::min(position, fadeFrames);
  maxFrames = std::max(frames, 1);
  dryFloat.assign(static_cast<size_t>(maxFrames) * kChannels, 0.0f);
  dryDouble.assign(static_cast<size_t>(maxFrames) * kChannels, 0.0);
}

void Vst3Bypass::JumpTo(bool on) {
  bypassed = on;
  position = on ? fadeFrames : 0;
}

template <typename Sample>
void Vst3Bypass::KeepDryOf(const Sample* const* inputs, int32_t channels, int32_t frames,
                           std::vector<Sample>& dry) {
  for (int32_t c = 0; c < std::min(channels, kChannels); ++c) {
    Sample* kept = dry.data() + static_cast<size_t>(c) * static_cast<size_t>(maxFrames);
    if (inputs[c]) {
      std::memcpy(kept, inputs[c], sizeof(Sample) * static_cast<size_t>(frames));
    } else {
      std::fill(kept, kept + frames, Sample(0));
    }
  }
}

// Frame by frame the fade moves one step toward its end and weighs the two
// signals by its position; at the end the kept input is copied as it is.
template <typename Sample>
void Vst3Bypass::MixOf(Sample* const* outputs, int32_t channels, int32_t frames,
                       const std::vector<Sample>& dry) {
  channels = std::min(channels, kChannels);
  const int32_t target = bypassed ? fadeFrames : 0;
  const int32_t stepBy = bypassed ? 1 : -1;
  for (int32_t i = 0; i < frames; ++i) {
    if (position != target) position += stepBy;
    const Sample share = static_cast<Sample>(position) / static_cast<Sample>(fadeFrames);
    for (int32_t c = 0; c < channels; ++c) {
      if (!outputs[c]) continue;
      const Sample input =
          dry[static_cast<size_t>(c) * static_cast<size_t>(maxFrames) + static_cast<size_t>(i)];
      Sample& out = outputs[c][i];
      if (position == fadeFrames) {
        out = input;
      } else if (position != 0) {
        out = out * (Sample(1) - share) + input * share;
      }
    }
  }
}

void Vst3Bypass::KeepDry(const float* const* inputs, int32_t channels, int32_t frames) {
  KeepDryOf(inputs, channels, frames, dryFloat);
}
void Vst3Bypass::KeepDry(const double* const* inputs, int32_t channels, int32_t frames) {
  KeepDryOf(inputs, channels, frames, dryDouble);
}
void Vst3Bypass::Mix(float* const* outputs, int32_t channels, int32_t frames) {
  MixOf(outputs, channels, frames, dryFloat);
}
void Vst3Bypass::Mix(double* const* outputs, int32_t channels, int32_t frames) {
  MixOf(outputs, channels, frames, dryDouble);
}
