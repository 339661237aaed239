// A file that replaces its target only when complete, keeping the target's links and permissions.
#pragma once

#include "tools/render/OutputTarget.h"

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// A file written under a temporary name in the target's folder and put in
// place only by Commit(), so a failed or interrupted write leaves no partial
// file behind (and an existing file of that name untouched). The new file
// gets the old one's permissions; where renaming would lose the old file's
// owner, group or hard links, the finished file is copied into it instead. A
// device such as /dev/null is written directly.
class ReplacingFile {
 public:
  // Throws RenderError naming the file when its folder cannot take it.
  explicit ReplacingFile(const OutputTarget& target);
  ~ReplacingFile();  // discards the temporary file unless committed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  int Descriptor() const { return fd_; }
  const std::string& Name() const { return name_; }
  // Written directly (a device such as /dev/null), without a temporary file.
  bool IsDevice() const { return isDevice_; }

  // Closes the file and gives it its name. Throws RenderError on failure
  // (the temporary file is then removed, unless it holds the only complete
  // copy, which the message then names).
  void Commit();

 private:
  void CopyIntoExistingFile();
  void Discard();

  std::string name_;      // as the user gave it
  std::string filePath_;  // the file that gets replaced
  std::string tempPath_;  // empty when written directly
  int fd_ = -1;
  bool isDevice_ = false;
  bool inPlace_ = false;
  bool committed_ = false;
};

// Writes `bytes` to the target through a ReplacingFile. Throws RenderError.
void WriteWholeFile(const OutputTarget& target, const std::vector<uint8_t>& bytes);

}  // namespace render
