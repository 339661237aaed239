// Copy through a small smoothing kernel: each pixel keeps half of itself and
// takes the rest from its neighbours inside the region. dst and src may be
// the same bitmap.
#pragma once

#include "raster/RBitmap.h"

// Regions narrower or lower than 2 pixels draw nothing.
void Raster_SoftenCopy(RBitmap* dst, RBitmap* src, int32_t dstX, int32_t dstY, int32_t srcX,
                       int32_t srcY, int32_t width, int32_t height);
