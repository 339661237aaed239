// Bitmap-to-bitmap blits through a blend mode.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"
#include "raster/RRect.h"

// Draws src, or its part srcRect (null: all of it), with the top-left corner
// at (dstX, dstY) of dst. Copy at opacity exactly 1.0 copies whole rows and
// at exactly 0.5 averages whole words; channel-copy modes copy one byte per
// pixel at any non-zero opacity.
void Raster_Blit(RBitmap* dst, RBitmap* src, int32_t dstX, int32_t dstY, const RRect* srcRect,
                 float opacity, RBlendMode mode);

void Raster_BlitRect(RBitmap* dst, RBitmap* src, int32_t dstX, int32_t dstY, int32_t srcX,
                     int32_t srcY, int32_t width, int32_t height, float opacity, RBlendMode mode);
