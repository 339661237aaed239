// The alpha blend at full weight (Copy with RBlendUseAlpha at opacity 1, the
// editor's most common draw) over a whole row, several pixels at a time.
// Results are bit-identical to RPixel::CopyAlpha at weight 256.
#pragma once

#include <cstdint>

void Raster_AlphaBlendRowFull(uint32_t* dst, const uint32_t* src, int32_t count);
