#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>

namespace render {

// An audio file opened for reading, frames interleaved.
class AudioInput {
 public:
  // Throws RenderError naming the file: missing, unreadable, not audio, empty
  // of channels.
  explicit AudioInput(const std::string& path);
  ~AudioInput();
  AudioInput(const AudioInput&) = delete;
  AudioInput& operator=(const AudioInput&) = delete;

  int Channels() const { return info_.channels; }
  int SampleRate() const { return info_.samplerate; }
  int Format() const { return info_.format; }
  int64_t Frames() const { return info_.frames; }
  const std::string& Path() const { return path_; }

  // Reads up to `frames` frames; returns the number read (0 at the end).
  // Throws RenderError on a read error.
  int64_t Read(float* interleaved, int64_t frames);
  int64_t Read(double* interleaved, int64_t frames);

 private:
  void CheckReadError(int64_t got, int64_t wanted);

  std::string path_;
  SF_INFO info_{};
  SNDFILE* file_ = nullptr;
};

}  // namespace render
