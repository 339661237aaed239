// One cached character: where its coverage lies and how it sits on the pen.
#pragma once

#include <cstdint>

struct RGlyph {
  // 1 + byte offset of the coverage in the cache's coverage buffer;
  // 0 = not rendered yet; -1 = renders as nothing.
  int32_t offset = 0;
  int32_t width = 0;   // columns of the coverage bitmap
  int32_t height = 0;  // rows
  int32_t advance = 0;
  uint16_t code = 0;  // UTF-16 code unit
  // Columns the coverage starts before the pen position.
  int32_t bearing = 0;
};
