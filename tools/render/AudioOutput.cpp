#include "tools/render/AudioOutput.h"

#include "tools/render/AudioFormat.h"
#include "tools/render/OggSerial.h"
#include "tools/render/RenderError.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace render {

AudioOutput::AudioOutput(const OutputTarget& target, const Format& format,
                         const std::vector<std::pair<int, std::string>>& tags)
    : replacing_(target),
      io_(replacing_.Descriptor()),
      format_(format.format),
      channels_(format.channels) {
  SF_INFO info{};
  info.format = format.format;
  info.channels = format.channels;
  info.samplerate = format.sampleRate;
  // What cannot seek (a pipe, a terminal) is written as a stream, which
  // only libsndfile's own file access knows how to do.
  const bool stream = lseek(replacing_.Descriptor(), 0, SEEK_CUR) < 0;
  file_ = stream ? sf_open_fd(replacing_.Descriptor(), SFM_WRITE, &info, SF_FALSE)
                 : io_.Open(SFM_WRITE, info);
  if (!file_) {
    throw RenderError("cannot write output '" + Name() + "' as " + DescribeFormat(format_) + ": " +
                      (io_.Failure().empty() ? sf_strerror(nullptr) : io_.Failure()));
  }
  // The float formats' PEAK chunk holds the time of writing: without it the
  // same render gives the same bytes.
  sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  if ((format_ & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64 && format.rf64ToWavWhenSmall) {
    sf_command(file_, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  }
  if (IsIntegerEncoding(format_)) {
    // Without this, samples beyond full scale would wrap around.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  }
  if (const int bits = PcmBits(format_); bits > 0) {
    quantizer_.emplace(bits, format.dither && bits <= kMostDitheredBits);
  }
  // Formats without a place for a kind of tag refuse it; that is no error.
  for (const auto& [kind, text] : tags) {
    sf_set_string(file_, kind, text.c_str());
  }
}

AudioOutput::~AudioOutput() {
  if (file_) {
    sf_close(file_);
  }
}

void AudioOutput::Fail(const std::string& libraryReason) const {
  throw RenderError("cannot write output '" + Name() +
                    "': " + (io_.Failure().empty() ? libraryReason : io_.Failure()));
}

void AudioOutput::CheckWrite(int64_t written, int64_t frames) {
  if (written != frames || !io_.Failure().empty()) {
    Fail(sf_strerror(file_));
  }
  written_ += frames;
}

// Counts the frames the finished file gives back: by its header where the
// samples are stored plainly (libsndfile bounds that by the file's length),
// else by decoding it all, since FLAC's header, for one, is written whole
// even when its data was cut short.
void AudioOutput::CheckWhatReachedTheFile() {
  if (replacing_.IsDevice()) {
    return;
  }
  SF_INFO info{};
  SNDFILE* file = io_.Open(SFM_READ, info);
  if (!file) {
    Fail(std::string("the finished file cannot be read back (") + sf_strerror(nullptr) + ")");
  }
  int64_t frames = info.frames;
  const int major = format_ & SF_FORMAT_TYPEMASK;
  if (major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX && major != SF_FORMAT_RF64 &&
      major != SF_FORMAT_AIFF) {
    constexpr int64_t kChunk = 8192;
    std::vector<float> decoded(static_cast<size_t>(kChunk * info.channels));
    frames = 0;
    for (int64_t got; (got = sf_readf_float(file, decoded.data(), kChunk)) > 0;) {
      frames += got;
    }
  }
  sf_close(file);
  if (frames != written_ || !io_.Failure().empty()) {
    Fail("the finished file holds " + std::to_string(frames) + " of the " +
         std::to_string(written_) + " frames written");
  }
}

template <typename T>
void AudioOutput::WriteSamples(const T* interleaved, int64_t frames) {
  const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(channels_);
  if (quantizer_) {
    quantized_.resize(count);
    for (size_t i = 0; i < count; ++i) {
      quantized_[i] = quantizer_->Quantize(std::isfinite(interleaved[i]) ? interleaved[i] : 0.0);
    }
    CheckWrite(sf_writef_int(file_, quantized_.data(), frames), frames);
  } else if (!HoldsNonFinite(format_) &&
             std::any_of(interleaved, interleaved + count, [](T s) { return !std::isfinite(s); })) {
    finite_.resize(count);
    for (size_t i = 0; i < count; ++i) {
      finite_[i] = std::isfinite(interleaved[i]) ? static_cast<double>(interleaved[i]) : 0.0;
    }
    CheckWrite(sf_writef_double(file_, finite_.data(), frames), frames);
  } else if constexpr (std::is_same_v<T, float>) {
    CheckWrite(sf_writef_float(file_, interleaved, frames), frames);
  } else {
    CheckWrite(sf_writef_double(file_, interleaved, frames), frames);
  }
}

void AudioOutput::Write(const float* interleaved, int64_t frames) {
  WriteSamples(interleaved, frames);
}

void AudioOutput::Write(const double* interleaved, int64_t frames) {
  WriteSamples(interleaved, frames);
}

void AudioOutput::Commit() {
  const int closeResult = sf_close(file_);
  file_ = nullptr;
  if (closeResult != 0 || !io_.Failure().empty()) {
    Fail(sf_error_number(closeResult));
  }
  if ((format_ & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG && !replacing_.IsDevice()) {
    if (const std::string reason = SetOggSerial(replacing_.Descriptor(), kOggSerial);
        !reason.empty()) {
      Fail(reason);
    }
  }
  CheckWhatReachedTheFile();
  replacing_.Commit();
}

}  // namespace render
