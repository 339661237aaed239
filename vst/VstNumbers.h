// Conversions of host-supplied numbers into the plug-in's 32-bit quantities,
// and of the plug-in's sizes into the interface's 16-bit fields. Hosts pass
// pointer-sized integers and doubles that may be huge, negative or not
// finite; a plain conversion of such a value would be undefined, so these
// saturate instead.
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

// Rounds half up (floor(v + 0.5)); NaN gives 0.
inline int32_t RoundHalfUpSaturated(double v) {
  if (std::isnan(v)) return 0;
  const double rounded = std::floor(v + 0.5);
  if (rounded >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (rounded <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(rounded);
}

// A host's version in decimal form (major * 10000 + minor * 100 + revision)
// in the packed form the framework keeps (major << 16 | minor << 8 | revision).
inline int32_t PackedVersionFromDecimal(int64_t hostValue) {
  const int64_t decimal = SaturateToInt32(hostValue);
  const int64_t major = decimal / 10000;
  const int64_t minor = decimal / 100 % 100;
  const int64_t revision = decimal % 100;
  return SaturateToInt32(major * 65536 + minor * 256 + revision);
}
