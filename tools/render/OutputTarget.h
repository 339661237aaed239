// What an output name stands for, resolved before anything is written.
#pragma once

#include <sys/types.h>

#include <string>

namespace render {

// The file an output name stands for and how to replace it without losing
// anything: a symbolic link is followed to the file it names, an existing
// file keeps its permissions, owner, group and hard links.
struct OutputTarget {
  std::string name;      // as given, for messages
  std::string filePath;  // the file written: the name, or where its link points
  bool exists = false;
  bool isDevice = false;  // a character device such as /dev/null: written directly
  mode_t mode = 0;        // permissions of the existing file, or of any new file
  uid_t owner = 0;
  gid_t group = 0;
  bool sharedByLinks = false;  // the existing file has further hard links
};

// Resolves `outputPath`. Throws UsageError when it is the input file (by any
// name, symbolic or hard link) unless `force`; RenderError when it is a
// folder, a link to nothing, a pipe or the like, or an existing file the user
// may not write.
OutputTarget ResolveOutput(const std::string& outputPath, const std::string& inputPath, bool force);

}  // namespace render
