// Integer rectangle of the raster operations: right and bottom exclusive.
// Laid out like the editor's IBounds (left, top, right, bottom).
#pragma once

#include <cstdint>

struct RRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
