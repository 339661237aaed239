#include "raster/RSoftenCopy.h"

#include "raster/RBlitBlock.h"
#include "raster/RPixelOps.h"
#include "raster/RPixelView.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using RPixel::Eighth;
using RPixel::Half;
using RPixel::Quarter;

constexpr int32_t kStackRowPixels = 1024;

// Neighbour terms: both neighbours an eighth each, a lone one a quarter.
inline uint32_t Pair(uint32_t a, uint32_t b) { return Eighth(a) + Eighth(b); }

// One destination row from the source rows of the region (above or below is
// null on the region's first or last row). Every byte stays below 256, so
// the words add without carries.
void SoftenRow(uint32_t* out, const uint32_t* above, const uint32_t* cur, const uint32_t* below,
               int32_t cols) {
  const auto vertical = [&](int32_t i) {
    if (above && below) return Pair(above[i], below[i]);
    return Quarter(above ? above[i] : below[i]);
  };
  out[0] = Half(cur[0]) + vertical(0) + Quarter(cur[1]);
  for (int32_t i = 1; i < cols - 1; ++i)
    out[i] = Half(cur[i]) + vertical(i) + Pair(cur[i - 1], cur[i + 1]);
  out[cols - 1] = Half(cur[cols - 1]) + vertical(cols - 1) + Quarter(cur[cols - 2]);
}

void SoftenSeparate(const RBlitBlock& a) {
  for (int32_t r = 0; r < a.rows; ++r) {
    const uint32_t* above = r > 0 ? a.SrcRow(r - 1) : nullptr;
    const uint32_t* below = r + 1 < a.rows ? a.SrcRow(r + 1) : nullptr;
    SoftenRow(a.DstRow(r), above, a.SrcRow(r), below, a.cols);
  }
}

// In place: the row above has been overwritten and the current one is about
// to be, so both are read from a two-row copy; the row below is untouched.
void SoftenInPlace(const RBlitBlock& a) {
  uint32_t onStack[2 * kStackRowPixels];
  std::vector<uint32_t> onHeap;
  uint32_t* buffer = onStack;
  if (a.cols > kStackRowPixels) {
    onHeap.resize(2 * static_cast<size_t>(a.cols));
    buffer = onHeap.data();
  }
  const size_t rowBytes = sizeof(uint32_t) * static_cast<size_t>(a.cols);
  for (int32_t r = 0; r < a.rows; ++r) {
    uint32_t* current = buffer + (r & 1) * a.cols;
    const uint32_t* above = r > 0 ? buffer + ((r - 1) & 1) * a.cols : nullptr;
    std::memcpy(current, a.SrcRow(r), rowBytes);
    const uint32_t* below = r + 1 < a.rows ? a.SrcRow(r + 1) : nullptr;
    SoftenRow(a.DstRow(r), above, current, below, a.cols);
  }
}

// Same bitmap at another place: any source row may be overwritten before it
// is read, so the whole source region is copied first.
void SoftenShifted(const RBlitBlock& a) {
  std::vector<uint32_t> copy(static_cast<size_t>(a.cols) * static_cast<size_t>(a.rows));
  for (int32_t r = 0; r < a.rows; ++r)
    std::copy_n(a.SrcRow(r), a.cols, copy.data() + static_cast<size_t>(r) * a.cols);
  const auto row = [&](int32_t r) { return copy.data() + static_cast<size_t>(r) * a.cols; };
  for (int32_t r = 0; r < a.rows; ++r) {
    SoftenRow(a.DstRow(r), r > 0 ? row(r - 1) : nullptr, row(r),
              r + 1 < a.rows ? row(r + 1) : nullptr, a.cols);
  }
}

}  // namespace

void Raster_SoftenCopy(RBitmap* dst, RBitmap* src, int32_t dstX, int32_t dstY, int32_t srcX,
                       int32_t srcY, int32_t width, int32_t height) {
  if (!dst || !src) return;
  const RPixelView dstView = RPixelView::Of(dst), srcView = RPixelView::Of(src);
  if (!dstView.Usable() || !srcView.Usable()) return;
  const int64_t right = std::min<int64_t>(int64_t{srcX} + width, srcView.width);
  const int64_t bottom = std::min<int64_t>(int64_t{srcY} + height, srcView.height);
  RBlitBlock area;
  if (!Raster_ClipBlitBlock(dstView, srcView, dstX, dstY, std::max(srcX, 0), std::max(srcY, 0),
                            right, bottom, area))
    return;
  if (area.cols < 2 || area.rows < 2) return;

  const bool sameBitmap = dst == src || dstView.pixels == srcView.pixels;
  if (!sameBitmap) {
    SoftenSeparate(area);
  } else if (area.dstX == area.srcLeft && area.dstY == area.srcTop) {
    SoftenInPlace(area);
  } else {
    SoftenShifted(area);
  }
}
