#include "tools/render/OutputTarget.h"

#include "tools/render/RenderError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace render {
namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

RenderError Refusal(const std::string& output, const std::string& reason) {
  return RenderError("cannot write output " + Quoted(output) + ": " + reason);
}

// umask() can only be read by changing it, which must not race with a
// batch's other files being created: the kernel shows it without that.
mode_t NewFileMode() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Umask:", 0) == 0) {
      return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
  }
  static const mode_t mask = [] {
    const mode_t m = umask(0);
    umask(m);
    return m;
  }();
  return 0666 & ~mask;
}

// Where a symbolic link finally points; the link itself when it is none.
std::string FollowLinks(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    return path;
  }
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) {
    std::string target(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), target.data(), target.size() - 1);
    target.resize(n > 0 ? static_cast<size_t>(n) : 0);
    throw Refusal(path, "it is a symbolic link to " + Quoted(target) + ", which " +
                            (errno == ENOENT ? std::string("does not exist")
                                             : std::string("cannot be followed (") +
                                                   std::strerror(errno) + ")"));
  }
  return resolved;
}

bool IsTerminal(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  const bool terminal = fd >= 0 && isatty(fd);
  if (fd >= 0) {
    close(fd);
  }
  return terminal;
}

bool InOurGroups(gid_t group) {
  if (group == getegid()) {
    return true;
  }
  std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
  const int n = getgroups(static_cast<int>(groups.size()), groups.data());
  return std::find(groups.begin(), groups.begin() + std::max(n, 0), group) !=
         groups.begin() + std::max(n, 0);
}

// Whether the file's permission bits let us write it. Checked by the bits
// rather than only by access(), which lets root write anything: a
// write-protected file is kept from root too, as rm and mv ask before
// touching one.
bool WritableForUs(const std::string& path, const struct stat& st) {
  if (access(path.c_str(), W_OK) != 0) {
    return false;
  }
  if (st.st_uid == geteuid()) {
    return (st.st_mode & S_IWUSR) != 0;
  }
  if (InOurGroups(st.st_gid)) {
    return (st.st_mode & S_IWGRP) != 0;
  }
  return (st.st_mode & S_IWOTH) != 0;
}

// render puts a file in place only once it is complete, so nothing that can
// only be streamed to (a pipe, a socket, the terminal) can be an output.
// "/dev/stdout" is one of those under another name; "-" names no file.
void RefuseStreams(const std::string& path) {
  if (path == "-") {
    throw UsageError(
        "cannot write output '-': render writes files, not standard output; name a file (./- for "
        "a file named '-')");
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    return;
  }
  const bool terminal = S_ISCHR(st.st_mode) && IsTerminal(path);
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || terminal) {
    throw Refusal(path, std::string(terminal ? "it is a terminal" : "it is a pipe or socket") +
                            ", and render writes only files (each put in place once complete), "
                            "not streams: name a file");
  }
}

}  // namespace

OutputTarget ResolveOutput(const std::string& outputPath, const std::string& inputPath,
                           bool force) {
  OutputTarget t;
  t.name = outputPath;
  t.mode = NewFileMode();
  if (!outputPath.empty() && outputPath.back() == '/') {
    throw Refusal(outputPath, "it names a folder, not a file");
  }
  RefuseStreams(outputPath);
  t.filePath = FollowLinks(outputPath);

  struct stat out {};
  if (stat(t.filePath.c_str(), &out) != 0) {
    if (errno != ENOENT) {
      throw Refusal(outputPath, std::strerror(errno));
    }
    return t;  // a new file
  }
  t.exists = true;
  if (S_ISDIR(out.st_mode)) {
    throw Refusal(outputPath, "it is a folder");
  }
  struct stat in {};
  if (stat(inputPath.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino &&
      !force) {
    throw UsageError("output " + Quoted(outputPath) + " is the input file " + Quoted(inputPath) +
                     "; name another output file, or add --force to replace the input");
  }
  if (S_ISCHR(out.st_mode)) {
    t.isDevice = true;
    return t;
  }
  if (!S_ISREG(out.st_mode)) {
    throw Refusal(outputPath, "it is not a regular file (a pipe, socket or block device)");
  }
  if (!WritableForUs(t.filePath, out)) {
    throw Refusal(outputPath, "the existing file is write-protected for you; it was left as it is");
  }
  t.mode = out.st_mode & 0777;
  t.owner = out.st_uid;
  t.group = out.st_gid;
  t.sharedByLinks = out.st_nlink > 1;
  return t;
}

}  // namespace render
