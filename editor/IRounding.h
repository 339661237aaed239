// Rounding to the nearest integer with halves away from zero, as the
// controls place their pixels: in single precision, or in double where the
// geometry is computed in double.
#pragma once

#include <cstdint>

inline int32_t RoundToInt(float x) { return static_cast<int32_t>(x >= 0.0f ? x + 0.5f : x - 0.5f); }

inline int32_t RoundToIntDouble(double x) {
  return static_cast<int32_t>(x >= 0.0 ? x + 0.5 : x - 0.5);
}
