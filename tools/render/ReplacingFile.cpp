#include "tools/render/ReplacingFile.h"

#include "tools/render/RenderError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// Writes all of `size` bytes; the reason on failure.
std::string WriteAll(int fd, const char* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t put = write(fd, data + done, size - done);
    if (put < 0) {
      return SystemReason();
    }
    done += static_cast<size_t>(put);
  }
  return {};
}

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
    failure = got < 0 ? SystemReason() : WriteAll(out, buffer.data(), static_cast<size_t>(got));
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

ReplacingFile::ReplacingFile(const OutputTarget& target)
    : name_(target.name), filePath_(target.filePath), isDevice_(target.isDevice) {
  if (target.isDevice) {
    fd_ = open(filePath_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) {
      throw RenderError("cannot write output '" + name_ + "': " + SystemReason());
    }
    return;
  }
  const std::string pattern = FolderOf(filePath_) + "/." + BaseNameOf(filePath_) + ".render-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = mkstemp(name.data());
  if (fd_ < 0) {
    // The new file goes into the folder: say which one refused it.
    const bool folderRefuses = errno == EACCES || errno == EROFS || errno == EPERM;
    throw RenderError("cannot write output '" + name_ + "': " +
                      (folderRefuses ? "folder '" + FolderOf(filePath_) + "' takes no new files (" +
                                           SystemReason() + ")"
                                     : SystemReason()));
  }
  tempPath_ = name.data();
  fchmod(fd_, target.mode);
  if (target.exists && (target.owner != geteuid() || target.group != getegid())) {
    // A renamed file would belong to us; copied in, it stays the owner's.
    inPlace_ = fchown(fd_, target.owner, target.group) != 0;
  }
  inPlace_ = inPlace_ || target.sharedByLinks;
}

ReplacingFile::~ReplacingFile() {
  if (!committed_) {
    Discard();
  }
}

void ReplacingFile::Discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

void ReplacingFile::Commit() {
  const bool synced = tempPath_.empty() || fsync(fd_) == 0;
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed) {
    const std::string reason = SystemReason();
    Discard();
    throw RenderError("cannot write output '" + name_ + "': " + reason);
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

void ReplacingFile::CopyIntoExistingFile() {
  if (const std::string reason = CopyFileContents(tempPath_, filePath_); !reason.empty()) {
    const std::string kept = tempPath_;
    tempPath_.clear();  // the only complete copy: keep it
    throw RenderError("cannot write output '" + name_ + "': " + reason +
                      "; the complete file is kept in '" + kept + "'");
  }
  unlink(tempPath_.c_str());
}

void WriteWholeFile(const OutputTarget& target, const std::vector<uint8_t>& bytes) {
  ReplacingFile file(target);
  if (const std::string reason =
          WriteAll(file.Descriptor(), reinterpret_cast<const char*>(bytes.data()), bytes.size());
      !reason.empty()) {
    throw RenderError("cannot write output '" + target.name + "': " + reason);
  }
  file.Commit();
}

}  // namespace render
