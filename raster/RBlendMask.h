// A colour blended through an 8-bit coverage mask.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"

#include <cstdint>

// The mask's rows are maskWidth bytes apart and its top-left lands at (x, y).
// Each non-zero coverage c blends the colour (its own alpha included) at
// weight w * c / 256 by the plain form of the mode's operation; zero leaves
// the pixel.
void Raster_BlendMask(RBitmap* dst, int32_t x, int32_t y, uint32_t colour, const uint8_t* mask,
                      int32_t maskWidth, int32_t maskHeight, float opacity, RBlendMode mode);
