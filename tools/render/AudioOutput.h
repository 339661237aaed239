// The output audio file, written block by block and put in place only when complete.
#pragma once

#include "tools/render/OutputTarget.h"
#include "tools/render/PcmQuantizer.h"
#include "tools/render/ReplacingFile.h"

#include <sndfile.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace render {

// An audio file being written. It is written under a temporary name in the
// target's folder and only Commit() puts it in place, so a render that fails
// or is interrupted leaves no partial file behind (and an existing file of
// that name untouched). The new file gets the old one's permissions; where
// renaming would lose its owner, group or hard links, the finished file is
// copied into the old one instead.
class AudioOutput {
 public:
  struct Format {
    int format = 0;  // libsndfile container | encoding
    int channels = 0;
    int sampleRate = 0;
    bool dither = true;  // TPDF dither for 16-bit and narrower PCM; wider PCM is rounded
  };

  // Throws RenderError naming the file when its folder cannot take it.
  AudioOutput(const OutputTarget& target, const Format& format,
              const std::vector<std::pair<int, std::string>>& tags);
  ~AudioOutput();  // the file is discarded unless committed
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Writes interleaved frames. Formats without NaN and infinity get 0 for
  // them; PCM is rounded (or dithered) here rather than by libsndfile, which
  // truncates to 24 bits. Throws RenderError.
  void Write(const float* interleaved, int64_t frames);
  void Write(const double* interleaved, int64_t frames);

  const std::string& Name() const { return replacing_.Name(); }
  bool Dithered() const { return quantizer_ && quantizer_->Dithers(); }

  // Finishes the file and gives it its name. Throws RenderError on failure
  // (the temporary file is then removed, unless it holds the only complete
  // copy of the render, which the message then names).
  void Commit();

 private:
  template <typename T>
  void WriteSamples(const T* interleaved, int64_t frames);
  void CheckWrite(int64_t written, int64_t frames);

  ReplacingFile replacing_;
  SNDFILE* file_ = nullptr;
  int format_ = 0;
  int channels_ = 0;
  std::optional<PcmQuantizer> quantizer_;
  std::vector<double> finite_;
  std::vector<int32_t> quantized_;
};

}  // namespace render
