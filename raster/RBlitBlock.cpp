#include "raster/RBlitBlock.h"

#include <algorithm>

bool Raster_ClipBlitBlock(const RPixelView& dst, const RPixelView& src, int64_t x, int64_t y,
                          int64_t left, int64_t top, int64_t right, int64_t bottom,
                          RBlitBlock& block) {
  if (x < 0) left -= x, x = 0;
  if (y < 0) top -= y, y = 0;
  if (left >= right || top >= bottom || x >= dst.width || y >= dst.height) return false;
  right = std::min(right, left + dst.width - x);
  bottom = std::min(bottom, top + dst.height - y);
  if (left >= right || top >= bottom) return false;
  block = {dst,
           src,
           static_cast<int32_t>(x),
           static_cast<int32_t>(y),
           static_cast<int32_t>(left),
           static_cast<int32_t>(top),
           static_cast<int32_t>(right - left),
           static_cast<int32_t>(bottom - top)};
  return true;
}
