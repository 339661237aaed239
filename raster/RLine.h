// One-pixel lines, plain or anti-aliased, and the clipping they use.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"

#include <cstdint>

// Cohen-Sutherland clipping of the segment to 0 <= x < width, 0 <= y < height;
// false when nothing of it is inside.
bool Raster_ClipLine(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t width,
                     int32_t height);

// Both end points are drawn. Only the operation bits of mode count.
void Raster_DrawLine(RBitmap* dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour,
                     float opacity, RBlendMode mode, bool antialias);
