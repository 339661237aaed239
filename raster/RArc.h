// Circular arcs between two angles.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"

// Angles in radians: 0 points up (toward smaller y) and angles grow
// clockwise on screen, so pi/2 points right. The angles may come in either
// order; a span of a full turn or more draws the whole circle.
void Raster_DrawArc(RBitmap* dst, float cx, float cy, float radius, float angle1, float angle2,
                    uint32_t colour, float opacity, RBlendMode mode, bool antialias);
