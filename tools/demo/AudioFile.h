// Whole audio files read into and written from memory for the demo tools.
#pragma once

#include <string>
#include <vector>

namespace demo {

// A whole audio file in memory, frames interleaved.
struct AudioData {
  int channels = 0;
  int sampleRate = 0;
  int format = 0;  // libsndfile's format word
  std::vector<double> samples;

  size_t Frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
  // (L+R)/2 for stereo, the channels' mean in general.
  std::vector<double> Mid() const;
};

// Reads through libsndfile; false (and a message on standard error naming
// the tool) when it cannot.
bool ReadAudioFile(const std::string& path, const char* tool, AudioData& audio);

// Writes 32-bit float WAV; false with a message when it cannot.
bool WriteFloatWav(const std::string& path, const char* tool, const AudioData& audio);

}  // namespace demo
