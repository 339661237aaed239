// The input audio file, read block by block.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

  // The frames the file's header announces; more than the data holds when
  // the file was cut short.
  int64_t PromisedFrames() const { return promisedFrames_; }
  // Why reading stopped before the end, when the decoder could not go on.
  const std::string& ReadProblem() const { return readProblem_; }

  // Text tags (libsndfile's SF_STR_* kinds) with their texts.
  std::vector<std::pair<int, std::string>> Tags() const;

  // Reads up to `frames` frames; returns the number read (0 at the end, also
  // after the decoder gave up: see ReadProblem).
  int64_t Read(float* interleaved, int64_t frames);
  int64_t Read(double* interleaved, int64_t frames);

 private:
  int64_t CheckRead(int64_t got, int64_t wanted);
  void ReadPromiseFromHeader();

  std::string path_;
  SF_INFO info_{};
  SNDFILE* file_ = nullptr;
  int64_t promisedFrames_ = 0;
  std::string readProblem_;
};

}  // namespace render
