// A colour as the editor hands it around: alpha, red, green, blue, 0-255.
#pragma once

#include <cstdint>

struct IRgba {
  int32_t A = 0;
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  // The raster library's pixel word 0xAARRGGBB from the low 8 bits of each
  // field.
  uint32_t Packed() const {
    return (static_cast<uint32_t>(A & 0xFF) << 24) | (static_cast<uint32_t>(R & 0xFF) << 16) |
           (static_cast<uint32_t>(G & 0xFF) << 8) | static_cast<uint32_t>(B & 0xFF);
  }
  bool operator==(const IRgba&) const = default;
};
