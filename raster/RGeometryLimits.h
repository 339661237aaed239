// The coordinates and radii the circle and arc code accepts: finite and
// small enough that every pixel position fits 32-bit integers with room.
#pragma once

#include <cmath>

inline constexpr float kRasterMaxCoordinate = 16777216.0f;

inline bool Raster_IsDrawableCoordinate(float v) {
  return std::isfinite(v) && v <= kRasterMaxCoordinate && v >= -kRasterMaxCoordinate;
}
