// The demo song's instruments: tracks, noise and the voices that play into them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace demo {

// A mono track being mixed: instruments add their notes into it.
struct Track {
  int sampleRate = 44100;
  std::vector<double> samples;

  // Adds `value` at sample index `at`, ignoring indices past the end.
  void Add(int64_t at, double value) {
    if (at >= 0 && at < static_cast<int64_t>(samples.size())) {
      samples[static_cast<size_t>(at)] += value;
    }
  }
};

// Deterministic white noise in -1...1, so every run makes the same file.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
  }

 private:
  uint32_t state_;
};

double MidiToHz(int note);

// Drums. Each hit starts at sample `at`, scaled by `level`.
void AddKick(Track& t, int64_t at, double level);
void AddSnare(Track& t, int64_t at, double level, Noise& noise);
void AddHiHat(Track& t, int64_t at, double level, bool open, Noise& noise);

// A filtered sawtooth bass note of `frames` length.
void AddBassNote(Track& t, int64_t at, int64_t frames, int midiNote, double level);

// A plucked string (Karplus-Strong): a noise burst circulating in a delay
// line one period long, losing its highs on every round, like a guitar.
void AddPluck(Track& t, int64_t at, int64_t frames, int midiNote, double level, Noise& noise);

}  // namespace demo
