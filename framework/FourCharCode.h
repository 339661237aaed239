// Four-character codes (plug-in and maker identifiers) as 32-bit values,
// first character in the most significant byte, the way every plug-in format
// and host reads them.
#pragma once

#include <cstdint>

constexpr int32_t FourCharCode(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(d)));
}
