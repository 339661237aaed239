#include "tools/render/AudioOutput.h"

#include "tools/render/AudioFormat.h"
#include "tools/render/RenderError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace render {
namespace {

constexpr size_t kCopyBytes = size_t{1} << 20;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SystemReason() { return std::strerror(errno); }

// Copies all of `from` over the contents of `to`; the reason on failure.
std::string CopyFileContents(const std::string& from, const std::string& to) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    return SystemReason();
  }
  const int out = open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (out < 0) {
    const std::string reason = SystemReason();
    close(in);
    return reason;
  }
  std::string failure;
  std::vector<char> buffer(kCopyBytes);
  for (ssize_t got; failure.empty() && (got = read(in, buffer.data(), buffer.size())) != 0;) {
    for (ssize_t done = 0; failure.empty() && got > 0 && done < got;) {
      const ssize_t put = write(out, buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0) {
        failure = SystemReason();
      }
      done += put;
    }
    if (got < 0) {
      failure = SystemReason();
    }
  }
  if (failure.empty() && fsync(out) != 0) {
    failure = SystemReason();
  }
  if (close(out) != 0 && failure.empty()) {
    failure = SystemReason();
  }
  close(in);
  return failure;
}

}  // namespace

AudioOutput::AudioOutput(const OutputTarget& target, const Format& format,
                         const std::vector<std::pair<int, std::string>>& tags)
    : name_(target.name),
      filePath_(target.filePath),
      format_(format.format),
      channels_(format.channels) {
  SF_INFO info{};
  info.format = format.format;
  info.channels = format.channels;
  info.samplerate = format.sampleRate;
  if (target.isDevice) {
    file_ = sf_open(filePath_.c_str(), SFM_WRITE, &info);
  } else {
    OpenTemporary(target, info);
  }
  if (!file_) {
    const std::string reason = sf_strerror(nullptr);
    Discard();
    throw RenderError("cannot write output '" + name_ + "' as " + DescribeFormat(format_) + ": " +
                      reason);
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

void AudioOutput::OpenTemporary(const OutputTarget& target, SF_INFO& info) {
  const std::string pattern = FolderOf(filePath_) + "/." + BaseNameOf(filePath_) + ".render-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    throw RenderError("cannot write output '" + name_ + "': " + SystemReason());
  }
  tempPath_ = name.data();
  fchmod(fd, target.mode);
  if (target.exists && (target.owner != geteuid() || target.group != getegid())) {
    // A renamed file would belong to us; copied in, it stays the owner's.
    inPlace_ = fchown(fd, target.owner, target.group) != 0;
  }
  inPlace_ = inPlace_ || target.sharedByLinks;
  file_ = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!file_) {
    close(fd);
  }
}

AudioOutput::~AudioOutput() {
  if (!committed_) {
    Discard();
  }
}

void AudioOutput::Discard() {
  if (file_) {
    sf_close(file_);
    file_ = nullptr;
  }
  if (!tempPath_.empty()) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

void AudioOutput::CheckWrite(int64_t written, int64_t frames) {
  if (written != frames) {
    throw RenderError("cannot write output '" + name_ + "': " + sf_strerror(file_));
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
  sf_write_sync(file_);
  const int closeResult = sf_close(file_);
  file_ = nullptr;
  if (closeResult != 0) {
    Discard();
    throw RenderError("cannot write output '" + name_ + "': " + sf_error_number(closeResult));
  }
  if (tempPath_.empty()) {
    committed_ = true;
    return;
  }
  if (inPlace_) {
    CopyIntoExistingFile();
  } else if (std::rename(tempPath_.c_str(), filePath_.c_str()) != 0) {
    const std::string reason = SystemReason();
    Discard();
    throw RenderError("cannot write output '" + name_ + "': " + reason);
  }
  tempPath_.clear();
  committed_ = true;
}

void AudioOutput::CopyIntoExistingFile() {
  if (const std::string reason = CopyFileContents(tempPath_, filePath_); !reason.empty()) {
    const std::string kept = tempPath_;
    tempPath_.clear();  // the only complete copy: keep it
    throw RenderError("cannot write output '" + name_ + "': " + reason +
                      "; the complete render is kept in '" + kept + "'");
  }
  unlink(tempPath_.c_str());
}

}  // namespace render
