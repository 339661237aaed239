// The block of pixels a bitmap-to-bitmap operation moves, already clipped to
// both bitmaps: cols x rows pixels from (srcLeft, srcTop) of the source to
// (dstX, dstY) of the destination.
#pragma once

#include "raster/RPixelView.h"

#include <cstdint>

struct RBlitBlock {
  RPixelView dst;
  RPixelView src;
  int32_t dstX, dstY, srcLeft, srcTop, cols, rows;

  uint32_t* DstRow(int32_t r) const { return dst.Row(dstY + r) + dstX; }
  const uint32_t* SrcRow(int32_t r) const { return src.Row(srcTop + r) + srcLeft; }
};

// Places the source columns left..right-1 and rows top..bottom-1 (already
// within the source) with their top-left at (x, y) of dst: a negative x or y
// skips that many source columns or rows, and what falls beyond dst is cut.
// False when nothing is left.
bool Raster_ClipBlitBlock(const RPixelView& dst, const RPixelView& src, int64_t x, int64_t y,
                          int64_t left, int64_t top, int64_t right, int64_t bottom,
                          RBlitBlock& block);
