#include "raster/RBlendMask.h"

#include "raster/RPixelOps.h"
#include "raster/RPixelRows.h"
#include "raster/RPixelView.h"
#include "raster/RWeight.h"

#include <algorithm>
#include <cstddef>

namespace {

struct MaskArea {
  RPixelView view;
  const uint8_t* mask;  // first mask byte drawn
  ptrdiff_t maskStride;
  int32_t x, y, cols, rows;
};

template <typename Op>
void BlendThroughMask(const MaskArea& a, uint32_t colour, int32_t w) {
  const int32_t r = RPixel::Red(colour), g = RPixel::Green(colour), b = RPixel::Blue(colour);
  const int32_t alpha = RPixel::Alpha(colour);
  for (int32_t row = 0; row < a.rows; ++row) {
    uint32_t* d = a.view.Row(a.y + row) + a.x;
    const uint8_t* coverage = a.mask + row * a.maskStride;
    for (int32_t i = 0; i < a.cols; ++i) {
      if (coverage[i] != 0) Op::Apply(d + i, r, g, b, alpha, w * coverage[i] / 256);
    }
  }
}

}  // namespace

void Raster_BlendMask(RBitmap* dst, int32_t x, int32_t y, uint32_t colour, const uint8_t* mask,
                      int32_t maskWidth, int32_t maskHeight, float opacity, RBlendMode mode) {
  if (!dst || !mask) return;
  if (int64_t{maskWidth} <= -int64_t{x} || int64_t{maskHeight} <= -int64_t{y}) return;
  const int32_t w = Raster_Weight(opacity);
  int64_t left = x, top = y, cols = maskWidth, rows = maskHeight, skipCols = 0, skipRows = 0;
  if (left < 0) skipCols = -left, cols += left, left = 0;
  if (top < 0) skipRows = -top, rows += top, top = 0;
  const RPixelView view = RPixelView::Of(dst);
  if (!view.Usable() || left >= view.width || top >= view.height) return;
  cols = std::min<int64_t>(cols, view.width - left);
  rows = std::min<int64_t>(rows, view.height - top);
  if (cols <= 0 || rows <= 0 || w == 0) return;
  const MaskArea area{view,
                      mask + skipRows * maskWidth + skipCols,
                      maskWidth,
                      static_cast<int32_t>(left),
                      static_cast<int32_t>(top),
                      static_cast<int32_t>(cols),
                      static_cast<int32_t>(rows)};
  if (Raster_BlendOperation(mode) == RBlend::Copy) {
    const RPixelRows& units = Raster_PixelRows();
    for (int32_t row = 0; row < area.rows; ++row)
      units.maskCopy(view.Row(area.y + row) + area.x, area.mask + row * area.maskStride, area.cols,
                     colour, w);
    return;
  }
  // Only the operation bits count here: always the plain forms. Copy's plain
  // form at these weights (at most 255) is the interpolation toward the colour.
  Raster_WithPixelOp(Raster_BlendOperation(mode),
                     [&]<typename Op>() { BlendThroughMask<Op>(area, colour, w); });
}
