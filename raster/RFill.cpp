#include "raster/RFill.h"

#include "raster/RPixelOps.h"
#include "raster/RPixelRows.h"
#include "raster/RPixelView.h"
#include "raster/RWeight.h"

#include <algorithm>

namespace {

struct FillArea {
  RPixelView view;
  int32_t x, y, cols, rows;
};

// Every pixel becomes f(pixel).
template <typename F>
void ForEachPixel(const FillArea& a, F f) {
  for (int32_t r = 0; r < a.rows; ++r) {
    uint32_t* d = a.view.Row(a.y + r) + a.x;
    for (int32_t i = 0; i < a.cols; ++i) d[i] = f(d[i]);
  }
}

// The exact weights of Copy on whole words; false for any other weight.
bool FillCopyExact(const FillArea& a, uint32_t c, int32_t w) {
  using namespace RPixel;
  switch (w) {
    case 256:
      for (int32_t r = 0; r < a.rows; ++r) std::fill_n(a.view.Row(a.y + r) + a.x, a.cols, c);
      return true;
    case 128: {
      const uint32_t halfC = Half(c);
      ForEachPixel(a, [halfC](uint32_t d) { return halfC + Half(d); });
      return true;
    }
    case 64: {
      const uint32_t quarterC = Quarter(c);
      ForEachPixel(a, [quarterC](uint32_t d) { return Half(d) + quarterC + Quarter(d); });
      return true;
    }
    case 192: {
      const uint32_t threeQuartersC = Half(c) + Quarter(c);
      ForEachPixel(a, [threeQuartersC](uint32_t d) { return threeQuartersC + Quarter(d); });
      return true;
    }
    default:
      return false;
  }
}

template <typename Op>
void FillBlended(const FillArea& a, uint32_t c, int32_t w) {
  const int32_t r = RPixel::Red(c), g = RPixel::Green(c), b = RPixel::Blue(c);
  ForEachPixel(a, [=](uint32_t d) {
    Op::Apply(&d, r, g, b, w, w);
    return d;
  });
}

}  // namespace

void Raster_FillRect(RBitmap* dst, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint32_t colour, float opacity, RBlendMode mode) {
  if (!dst) return;
  if ((mode & RBlendUseAlpha) != 0)
    opacity = opacity * (static_cast<float>(colour >> 24) * 0.003921569f);
  int64_t left = x, top = y, cols = width, rows = height;
  if (left < 0) cols += left, left = 0;
  if (top < 0) rows += top, top = 0;
  const RPixelView view = RPixelView::Of(dst);
  if (opacity == 0.0f || !view.Usable() || cols <= 0 || rows <= 0 || left >= view.width ||
      top >= view.height)
    return;
  const FillArea area{view, static_cast<int32_t>(left), static_cast<int32_t>(top),
                      static_cast<int32_t>(std::min<int64_t>(cols, view.width - left)),
                      static_cast<int32_t>(std::min<int64_t>(rows, view.height - top))};

  const int32_t w = Raster_Weight(opacity);
  const uint32_t operation = Raster_BlendOperation(mode);
  if (operation == RBlend::Copy && FillCopyExact(area, colour, w)) return;
  if (w == 0) return;
  if (operation == RBlend::Copy) {
    const RPixelRows& units = Raster_PixelRows();
    for (int32_t r = 0; r < area.rows; ++r)
      units.fillCopy(view.Row(area.y + r) + area.x, area.cols, colour, w);
    return;
  }
  // The plain form of each operation; the alpha flag only scaled the opacity.
  Raster_WithPixelOp(operation, [&]<typename Op>() { FillBlended<Op>(area, colour, w); });
}
