// The errors render reports to the user, and the exit status each gives.
#pragma once

#include <stdexcept>
#include <string>

namespace render {

// A failure the user can act on. The text names the file or item and the
// reason; main() prints it and exits with a non-zero code. Never thrown
// through the plug-in's callbacks.
class RenderError : public std::runtime_error {
 public:
  explicit RenderError(const std::string& message) : std::runtime_error(message) {}
};

// A mistake on the command line found once the plug-in or the files are
// known: an unknown program or parameter, a value the parameter cannot take,
// a format the output cannot have. main() exits with the usage status.
class UsageError : public RenderError {
 public:
  using RenderError::RenderError;
};

}  // namespace render
