// Opacity to integer weight, and float-to-integer conversions that stay
// defined for values outside the 32-bit range.
#pragma once

#include <cmath>
#include <cstdint>

// w = opacity x 256 truncated toward zero, limited to 0..256: weights above
// full would push the interpolations outside a byte, and negative ones draw
// nothing anyway.
inline int32_t Raster_Weight(float opacity) {
  const float scaled = opacity * 256.0f;
  if (!(scaled > 0.0f)) return 0;
  if (scaled >= 256.0f) return 256;
  return static_cast<int32_t>(scaled);
}

// Truncation toward zero, saturating at the int32 limits; NaN gives 0.
inline int32_t Raster_TruncToInt32(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

inline int64_t Raster_TruncToInt64(double value) {
  if (!(value == value)) return 0;
  if (value >= 9.2e18) return INT64_MAX;
  if (value <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(value);
}
