#include "tools/demo/DemoSong.h"

#include "tools/demo/DemoVoices.h"

#include <algorithm>
#include <cmath>

namespace demo {
namespace {

constexpr double kTempo = 120.0;
constexpr int kBars = 4;
constexpr int kStepsPerBar = 16;  // sixteenth notes

struct Note {
  int step;    // within the bar
  int length;  // in steps
  int midi;
};

int64_t StepFrames(int sampleRate) {
  return static_cast<int64_t>(sampleRate * 60.0 / kTempo / 4.0);
}

Track MakeTrack(int sampleRate, int64_t frames) {
  Track t;
  t.sampleRate = sampleRate;
  t.samples.assign(static_cast<size_t>(frames), 0.0);
  return t;
}

void PlayDrums(Track& t) {
  Noise noise(7u);
  const int64_t step = StepFrames(t.sampleRate);
  for (int bar = 0; bar < kBars; ++bar) {
    const int64_t barStart = bar * kStepsPerBar * step;
    for (const int s : {0, 7, 8, 10}) {
      AddKick(t, barStart + s * step, s == 7 ? 0.6 : 0.9);
    }
    for (const int s : {4, 12}) {
      AddSnare(t, barStart + s * step, 0.55, noise);
    }
    if (bar % 2 == 1) {
      AddSnare(t, barStart + 15 * step, 0.18, noise);  // ghost note
    }
    for (int s = 0; s < kStepsPerBar; s += 2) {
      const bool open = bar == kBars - 1 && s == 14;
      AddHiHat(t, barStart + s * step, s % 4 == 2 ? 0.28 : 0.18, open, noise);
    }
  }
}

void PlayBass(Track& t) {
  // Roots E, E, C, D; a driving eighth-note line with octave jumps.
  const int roots[kBars] = {28, 28, 24, 26};
  const int offsets[8] = {0, 0, 12, 0, 0, 10, 12, 7};
  const int64_t step = StepFrames(t.sampleRate);
  for (int bar = 0; bar < kBars; ++bar) {
    for (int e = 0; e < 8; ++e) {
      const int64_t at = (bar * kStepsPerBar + e * 2) * step;
      AddBassNote(t, at, step * 2 - step / 4, roots[bar] + offsets[e], 0.55);
    }
  }
}

void PlayGuitar(Track& t) {
  // E minor pentatonic riff, answered by a variation over C and D.
  const Note riffA[] = {{0, 2, 64}, {2, 2, 67},  {4, 1, 69},  {5, 1, 67}, {6, 2, 64},
                        {8, 3, 71}, {11, 1, 69}, {12, 2, 67}, {14, 2, 62}};
  const Note riffB[] = {{0, 2, 64}, {2, 2, 67},  {4, 2, 72},  {6, 2, 71},
                        {8, 2, 69}, {10, 1, 67}, {11, 1, 69}, {12, 4, 64}};
  Noise noise(99u);
  const int64_t step = StepFrames(t.sampleRate);
  for (int bar = 0; bar < kBars; ++bar) {
    const int64_t barStart = bar * kStepsPerBar * step;
    const bool variation = bar >= 2;
    const Note* notes = variation ? riffB : riffA;
    const size_t count = variation ? std::size(riffB) : std::size(riffA);
    for (size_t i = 0; i < count; ++i) {
      const Note& n = notes[i];
      AddPluck(t, barStart + n.step * step, n.length * step, n.midi - (bar == 3 ? 2 : 0), 0.5,
               noise);
    }
  }
}

double PeakOf(const StereoAudio& a) {
  double peak = 0.0;
  for (size_t i = 0; i < a.left.size(); ++i) {
    peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
  }
  return peak;
}

}  // namespace

StereoAudio MakeDemoSong(int sampleRate) {
  const int64_t frames = StepFrames(sampleRate) * kStepsPerBar * kBars;
  Track drums = MakeTrack(sampleRate, frames);
  Track bass = MakeTrack(sampleRate, frames);
  Track guitar = MakeTrack(sampleRate, frames);
  PlayDrums(drums);
  PlayBass(bass);
  PlayGuitar(guitar);

  // Drums and bass in the middle; the guitar right of centre with a short
  // delayed echo on the left for width.
  StereoAudio song;
  song.sampleRate = sampleRate;
  song.left.assign(static_cast<size_t>(frames), 0.0);
  song.right.assign(static_cast<size_t>(frames), 0.0);
  const int64_t echo = sampleRate * 15 / 1000;
  for (int64_t i = 0; i < frames; ++i) {
    const size_t k = static_cast<size_t>(i);
    const double middle = drums.samples[k] + bass.samples[k];
    const double echoed = i >= echo ? guitar.samples[static_cast<size_t>(i - echo)] : 0.0;
    song.left[k] = middle + 0.35 * guitar.samples[k] + 0.3 * echoed;
    song.right[k] = middle + 0.65 * guitar.samples[k];
  }

  const double gain = kDemoPeak / PeakOf(song);
  for (size_t k = 0; k < song.left.size(); ++k) {
    song.left[k] *= gain;
    song.right[k] *= gain;
  }
  return song;
}

}  // namespace demo
