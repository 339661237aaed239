#include "tools/render/AudioOutput.h"

#include "tools/render/AudioFormat.h"
#include "tools/render/RenderError.h"

#include <algorithm>
#include <cmath>

namespace render {

AudioOutput::AudioOutput(const OutputTarget& target, const Format& format,
                         const std::vector<std::pair<int, std::string>>& tags)
    : replacing_(target), format_(format.format), channels_(format.channels) {
  SF_INFO info{};
  info.format = format.format;
  info.channels = format.channels;
  info.samplerate = format.sampleRate;
  file_ = sf_open_fd(replacing_.Descriptor(), SFM_WRITE, &info, SF_FALSE);
  if (!file_) {
    throw RenderError("cannot write output '" + Name() + "' as " + DescribeFormat(format_) + ": " +
                      sf_strerror(nullptr));
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

void AudioOutput::CheckWrite(int64_t written, int64_t frames) {
  if (written != frames) {
    throw RenderError("cannot write output '" + Name() + "': " + sf_strerror(file_));
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
  if (closeResult != 0) {
    throw RenderError("cannot write output '" + Name() + "': " + sf_error_number(closeResult));
  }
  replacing_.Commit();
}

}  // namespace render
