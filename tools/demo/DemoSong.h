// The demo's input: a short song of drums, bass and guitar synthesised in code.
#pragma once

#include <vector>

namespace demo {

// Four bars at 120 bpm (8 seconds) of drums, bass and a plucked guitar line
// in E minor, stereo, peaking at -6 dBFS so a saturator has room to work.
struct StereoAudio {
  int sampleRate = 44100;
  std::vector<double> left;
  std::vector<double> right;
};

StereoAudio MakeDemoSong(int sampleRate);

constexpr double kDemoPeak = 0.5;  // -6 dBFS

}  // namespace demo
