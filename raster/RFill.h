// Rectangle fill with a colour word through a blend mode.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"

// Copy at weights 256, 128, 64 and 192 works on the whole colour word, its
// alpha byte included; other weights and operations use the colour's red,
// green and blue with the weight as the source alpha. With RBlendUseAlpha
// the opacity is first scaled by the colour's alpha.
void Raster_FillRect(RBitmap* dst, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint32_t colour, float opacity, RBlendMode mode);
