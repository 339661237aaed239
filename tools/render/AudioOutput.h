// The output audio file, written block by block and put in place only when complete.
#pragma once

#include "tools/render/DescriptorIo.h"
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
// copied into the old one instead. Before that, the finished file is read
// back: it counts only when it holds every frame written.
class AudioOutput {
 public:
  struct Format {
    int format = 0;  // libsndfile container | encoding
    int channels = 0;
    int sampleRate = 0;
    bool dither = true;  // TPDF dither for 16-bit and narrower PCM; wider PCM is rounded
    // RF64 chosen for the length alone is finished as WAV when it stays
    // below 4 GiB; RF64 kept from the input stays RF64.
    bool rf64ToWavWhenSmall = true;
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

  // Finishes the file, checks what reached it and gives it its name. Throws
  // RenderError with the system's reason when a write did not complete (the
  // temporary file is then removed, unless it holds the only complete copy
  // of the render, which the message then names).
  void Commit();

 private:
  template <typename T>
  void WriteSamples(const T* interleaved, int64_t frames);
  void CheckWrite(int64_t written, int64_t frames);
  [[noreturn]] void Fail(const std::string& libraryReason) const;
  void CheckWhatReachedTheFile();

  ReplacingFile replacing_;
  DescriptorIo io_;
  SNDFILE* file_ = nullptr;
  int format_ = 0;
  int channels_ = 0;
  int64_t written_ = 0;  // frames
  std::optional<PcmQuantizer> quantizer_;
  std::vector<double> finite_;
  std::vector<int32_t> quantized_;
};

}  // namespace render
