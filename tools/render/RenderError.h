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

}  // namespace render
