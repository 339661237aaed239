#include "tools/demo/DemoVoices.h"

#include <cmath>
#include <numbers>

namespace demo {

double MidiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

void AddBassNote(Track& t, int64_t at, int64_t frames, int midiNote, double level) {
  const double hz = MidiToHz(midiNote);
  const double release = 0.02 * t.sampleRate;
  double phase = 0.0;
  // Two-pole state-variable low-pass whose cutoff falls after the attack,
  // the "pluck" of a picked bass.
  double low = 0.0;
  double band = 0.0;
  for (int64_t i = 0; i < frames + static_cast<int64_t>(release); ++i) {
    const double s = static_cast<double>(i) / t.sampleRate;
    phase += hz / t.sampleRate;
    phase -= std::floor(phase);
    const double saw = 2.0 * phase - 1.0;
    const double cutoff = 180.0 + 1400.0 * std::exp(-s / 0.06);
    const double f = 2.0 * std::sin(std::numbers::pi * cutoff / t.sampleRate);
    low += f * band;
    band += f * (saw - low - 0.7 * band);
    double amp = std::fmin(1.0, s / 0.004);
    if (i >= frames) {
      amp *= 1.0 - static_cast<double>(i - frames) / release;
    }
    t.Add(at + i, level * amp * low);
  }
}

}  // namespace demo
