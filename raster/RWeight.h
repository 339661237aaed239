// Opacity to integer weight.
#pragma once

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
