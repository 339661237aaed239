// A count with its noun, singular or plural, for the tools' messages.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

// A count with its noun in the number the count takes: "1 sample",
// "0 samples", "2 NaN or infinite samples". Every noun the tools count takes
// an "s" in the plural.
inline std::string Counted(int64_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace tools
