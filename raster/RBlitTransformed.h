// Scaled and rotated blit with nearest or bilinear sampling.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"

// Draws the source rectangle (srcX, srcY, srcW, srcH) scaled into the
// destination rectangle (dstX, dstY, dstW, dstH) and rotated by angle
// (radians) about its centre; (offsetX, offsetY) moves the sampled point in
// source pixels. A negative dstW or dstH mirrors. With clipToSrcRect only
// pixels inside the source rectangle are sampled, otherwise any pixel of the
// source bitmap. RBlendBilinear in the filter bits selects bilinear
// sampling. The walk over the source is in 16.16 fixed point.
void Raster_BlitTransformed(RBitmap* dst, RBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW,
                            int32_t dstH, float srcX, float srcY, float srcW, float srcH,
                            float angle, bool clipToSrcRect, float opacity, RBlendMode mode,
                            float offsetX, float offsetY);
