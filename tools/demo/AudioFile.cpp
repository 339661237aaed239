#include "tools/demo/AudioFile.h"

#include <sndfile.h>

#include <cstdio>

namespace demo {

std::vector<double> AudioData::Mid() const {
  std::vector<double> mid(Frames(), 0.0);
  for (size_t f = 0; f < mid.size(); ++f) {
    double sum = 0.0;
    for (int c = 0; c < channels; ++c) {
      sum += samples[f * static_cast<size_t>(channels) + static_cast<size_t>(c)];
    }
    mid[f] = sum / channels;
  }
  return mid;
}

bool ReadAudioFile(const std::string& path, const char* tool, AudioData& audio) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    std::fprintf(stderr, "%s: cannot read '%s': %s\n", tool, path.c_str(), sf_strerror(nullptr));
    return false;
  }
  audio.channels = info.channels;
  audio.sampleRate = info.samplerate;
  audio.format = info.format;
  audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
  const sf_count_t got = sf_readf_double(file, audio.samples.data(), info.frames);
  sf_close(file);
  audio.samples.resize(static_cast<size_t>(got * info.channels));
  return true;
}

bool WriteFloatWav(const std::string& path, const char* tool, const AudioData& audio) {
  SF_INFO info{};
  info.channels = audio.channels;
  info.samplerate = audio.sampleRate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  const sf_count_t frames = static_cast<sf_count_t>(audio.Frames());
  const bool written = file && sf_writef_double(file, audio.samples.data(), frames) == frames;
  if (!written) {
    std::fprintf(stderr, "%s: cannot write '%s': %s\n", tool, path.c_str(), sf_strerror(file));
  }
  return (file ? sf_close(file) == 0 : false) && written;
}

}  // namespace demo
