// Fixed coverage masks for the smallest circles, which the outline code
// draws poorly: radii 1.5, 2, 2.5, 3, 3.5 and 4 exactly.
#pragma once

#include <cstdint>

// The square mask (size x size bytes) for this exact radius, or null.
const uint8_t* Raster_SmallCircleMask(float radius, bool antialias, int32_t& size);
