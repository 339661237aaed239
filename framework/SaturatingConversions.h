// Conversions into 32- and 16-bit integers that stay defined for every input.
// Host-supplied integers and doubles may be huge, negative or not finite, and
// a plain conversion of an out-of-range value is undefined: these saturate at
// the target's limits instead, and NaN gives 0. Doubles are compared before
// they are converted.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t SaturateToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

inline int16_t SaturateToInt16(int32_t v) {
  if (v > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  if (v < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  return static_cast<int16_t>(v);
}

// Toward zero, as C's conversion does within range.
inline int32_t TruncateToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// floor(v + 0.5): halves go up, also below zero.
inline int32_t RoundHalfUp(double v) { return TruncateToInt32(std::floor(v + 0.5)); }

// truncate(v + 0.5) for v >= 0, truncate(v - 0.5) otherwise: halves go away
// from zero.
inline int32_t RoundHalfAwayFromZero(double v) {
  return TruncateToInt32(v >= 0.0 ? v + 0.5 : v - 0.5);
}
