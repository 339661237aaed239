#include "tools/render/AudioOutput.h"

#include "tools/render/AudioFormat.h"
#include "tools/render/RenderError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace render {
namespace {

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

// mkstemp creates the file readable by its owner only; the finished file
// should get the permissions any other new file would.
void ApplyUsualPermissions(int fd) {
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

}  // namespace

AudioOutput::AudioOutput(const std::string& path, int format, int channels, int sampleRate)
    : path_(path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    throw RenderError("cannot write output '" + path + "': it is a folder");
  }
  std::string pattern = FolderOf(path) + "/." + BaseNameOf(path) + ".render-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    throw RenderError("cannot write output '" + path + "': " + std::strerror(errno));
  }
  tempPath_ = name.data();
  ApplyUsualPermissions(fd);

  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  file_ = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!file_) {
    const std::string reason = sf_strerror(nullptr);
    close(fd);
    unlink(tempPath_.c_str());
    throw RenderError("cannot write output '" + path + "' as " + DescribeFormat(format) + ": " +
                      reason);
  }
  if (IsIntegerEncoding(format)) {
    // Without this, samples beyond full scale would wrap around.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
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
    throw RenderError("cannot write output '" + path_ + "': " + sf_strerror(file_));
  }
}

void AudioOutput::Write(const float* interleaved, int64_t frames) {
  CheckWrite(sf_writef_float(file_, interleaved, frames), frames);
}

void AudioOutput::Write(const double* interleaved, int64_t frames) {
  CheckWrite(sf_writef_double(file_, interleaved, frames), frames);
}

void AudioOutput::Commit() {
  sf_write_sync(file_);
  const int closeResult = sf_close(file_);
  file_ = nullptr;
  if (closeResult != 0) {
    Discard();
    throw RenderError("cannot write output '" + path_ + "': " + sf_error_number(closeResult));
  }
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    Discard();
    throw RenderError("cannot write output '" + path_ + "': " + reason);
  }
  tempPath_.clear();
  committed_ = true;
}

}  // namespace render
