// The one home of truncation, saturation and rounding to integers: every
// conversion here stays defined for every input. Host-supplied integers and
// doubles may be huge, negative or not finite, and geometry may run far off a
// bitmap; a plain conversion of an out-of-range value is undefined, so these
// saturate at the target's limits instead, and NaN gives 0. Floating values
// are compared before they are converted. Within range each gives exactly
// what the plain expression in its comment gives.
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

// (int32_t)v: toward zero.
inline int32_t TruncateToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// (int64_t)v: toward zero; the limits are held a little inside 2^63, where
// doubles are 1024 apart.
inline int64_t TruncateToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2e18) return std::numeric_limits<int64_t>::max();
  if (v <= -9.2e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}

// floor(v + 0.5): halves go up, also below zero.
inline int32_t RoundHalfUp(double v) { return TruncateToInt32(std::floor(v + 0.5)); }

// (int32_t)(v >= 0 ? v + 0.5 : v - 0.5): halves go away from zero.
inline int32_t RoundHalfAwayFromZero(double v) {
  return TruncateToInt32(v >= 0.0 ? v + 0.5 : v - 0.5);
}

// The same with the half added in single precision, as the controls place
// their pixels: a float sum may round where the double one does not (0.49999997f
// gives 1 here, 0 above), so the two are not interchangeable.
inline int32_t RoundHalfAwayFromZeroF(float v) {
  return TruncateToInt32(static_cast<double>(v >= 0.0f ? v + 0.5f : v - 0.5f));
}
