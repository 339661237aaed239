#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>

namespace render {

// An audio file being written. It is written under a temporary name in the
// output's folder and renamed to the real name only by Commit(), so a render
// that fails or is interrupted leaves no partial file behind (and an existing
// file of that name untouched).
class AudioOutput {
 public:
  // Throws RenderError naming the file when its folder cannot take it.
  AudioOutput(const std::string& path, int format, int channels, int sampleRate);
  ~AudioOutput();  // discards the temporary file unless committed
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  void Write(const float* interleaved, int64_t frames);
  void Write(const double* interleaved, int64_t frames);

  // Finishes the file and gives it its name. Throws RenderError on failure
  // (the temporary file is then removed).
  void Commit();

 private:
  void CheckWrite(int64_t written, int64_t frames);
  void Discard();

  std::string path_;
  std::string tempPath_;
  SNDFILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace render
