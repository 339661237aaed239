// Circle outlines, plain (midpoint) or anti-aliased (coverage from square
// roots), and the outline drawer that arcs share.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"
#include "raster/RRect.h"

#include <cstdint>

// Draws the outline at integer weight 1..256 with the plain form of the
// mode's operation. With clipFlag only pixels inside clipRect are drawn;
// pixels outside the bitmap are never drawn. Rows are taken in memory order
// (callers mirror cy for bottom-up bitmaps).
void Raster_CircleOutline(RBitmap* dst, float cx, float cy, float radius, uint32_t colour,
                          int32_t weight, bool antialias, RBlendMode mode, const RRect& clipRect,
                          bool clipFlag);

// Radii 1.5, 2, 2.5, 3, 3.5 and 4 are drawn from fixed masks.
void Raster_DrawCircle(RBitmap* dst, float cx, float cy, float radius, uint32_t colour,
                       float opacity, RBlendMode mode, bool antialias);
