#include "raster/RCircle.h"

#include "platform/SaturatingConversions.h"
#include "raster/RBlendMask.h"
#include "raster/RGeometryLimits.h"
#include "raster/RPlotter.h"
#include "raster/RSmallCircleMasks.h"
#include "raster/RWeight.h"

#include <cmath>

namespace {

int32_t Nearest(float v) { return TruncateToInt32(static_cast<double>(v) + 0.5); }

// Midpoint circle; paint(x, y) draws one pixel.
template <typename Paint>
void MidpointOutline(int32_t xc, int32_t yc, int32_t radius, Paint paint) {
  paint(xc, yc - radius);
  paint(xc + radius, yc);
  paint(xc, yc + radius);
  paint(xc - radius, yc);
  int32_t y = radius, d = -radius;
  for (int32_t x = 1; x < y; ++x) {
    const int32_t yNext = d >= 0 ? y - 1 : y;
    paint(xc + x, yc + yNext), paint(xc - x, yc + yNext), paint(xc + x, yc - yNext),
        paint(xc - x, yc - yNext);
    if (x != yNext) {
      paint(xc + yNext, yc + x), paint(xc - yNext, yc + x), paint(xc + yNext, yc - x),
          paint(xc - yNext, yc - x);
    }
    d += d < 0 ? 2 * x + 1 : 2 * x + 3 - 2 * y;
    y = yNext;
  }
}

void PlainOutline(const RPlotter& p, float cx, float cy, float radius, int32_t w) {
  const int32_t xc = Nearest(cx), yc = Nearest(cy), r = Nearest(radius);
  p.WithPlainPainter(w, [&](auto paint) { MidpointOutline(xc, yc, r, paint); });
}

// Each column (and, mirrored, each row) of an octant gets an inner pixel
// and an outer pixel sharing the weight by the fraction of the exact radius.
void SmoothOutline(const RPlotter& p, float cx, float cy, float radius, int32_t w) {
  const int32_t xc = Nearest(cx), yc = Nearest(cy);
  const float whole = std::floor(radius);
  const float fraction = radius - whole;
  const int32_t h = static_cast<int32_t>(whole);
  const int32_t outer = static_cast<int32_t>(fraction * static_cast<float>(w));
  p.Plot(xc, yc - h - 1, outer), p.Plot(xc, yc + h + 1, outer);
  p.Plot(xc - h - 1, yc, outer), p.Plot(xc + h + 1, yc, outer);
  p.Plot(xc, yc - h, w - outer), p.Plot(xc + h, yc, w - outer);
  p.Plot(xc, yc + h, w - outer), p.Plot(xc - h, yc, w - outer);

  const double squared = static_cast<double>(radius * radius);
  for (int32_t i = 1;; ++i) {
    const double remaining = squared - static_cast<double>(i) * i;
    if (remaining < 0.0) break;
    const double span = std::sqrt(remaining);
    const int32_t n = static_cast<int32_t>(span + 0.5);
    if (i > n) break;
    const double floorSpan = std::floor(span);
    const int32_t hi = static_cast<int32_t>(floorSpan);
    const int32_t j = static_cast<int32_t>((span - floorSpan) * w);
    const bool offDiagonal = i != n;
    p.Plot(xc + i, yc - hi - 1, j), p.Plot(xc - i, yc - hi - 1, j);
    p.Plot(xc + i, yc + hi + 1, j), p.Plot(xc - i, yc + hi + 1, j);
    if (offDiagonal) {
      p.Plot(xc + hi + 1, yc + i, j), p.Plot(xc + hi + 1, yc - i, j);
      p.Plot(xc - hi - 1, yc + i, j), p.Plot(xc - hi - 1, yc - i, j);
    }
    p.Plot(xc + hi, yc - i, w - j), p.Plot(xc - hi, yc - i, w - j);
    p.Plot(xc + i, yc + hi, w - j), p.Plot(xc - i, yc + hi, w - j);
    if (offDiagonal) {
      p.Plot(xc + i, yc - hi, w - j), p.Plot(xc - i, yc - hi, w - j);
      p.Plot(xc + hi, yc + i, w - j), p.Plot(xc - hi, yc + i, w - j);
    }
  }
}

}  // namespace

void Raster_CircleOutline(RBitmap* dst, float cx, float cy, float radius, uint32_t colour,
                          int32_t weight, bool antialias, RBlendMode mode, const RRect& clipRect,
                          bool clipFlag) {
  if (!dst || weight <= 0) return;
  if (!Raster_IsDrawableCoordinate(cx) || !Raster_IsDrawableCoordinate(cy) ||
      !Raster_IsDrawableCoordinate(radius))
    return;
  RPlotter p = RPlotter::For(dst, colour, mode);
  if (!p.CanDraw()) return;
  p.clip = clipRect;
  p.useClip = clipFlag;
  const int32_t w = weight > 256 ? 256 : weight;
  if (antialias) {
    SmoothOutline(p, cx, cy, radius, w);
  } else {
    PlainOutline(p, cx, cy, radius, w);
  }
}

void Raster_DrawCircle(RBitmap* dst, float cx, float cy, float radius, uint32_t colour,
                       float opacity, RBlendMode mode, bool antialias) {
  if (!dst) return;
  const RPixelView view = RPixelView::Of(dst);
  if (!view.Usable() || !(radius >= 0.0f)) return;
  if (!Raster_IsDrawableCoordinate(cx) || !Raster_IsDrawableCoordinate(cy) ||
      !Raster_IsDrawableCoordinate(radius))
    return;
  // More than 2 pixels outside the bitmap: nothing of it shows.
  const int32_t tx = static_cast<int32_t>(cx), ty = static_cast<int32_t>(cy),
                tr = static_cast<int32_t>(radius);
  if (tx + tr < -2 || ty + tr < -2 || tx - tr > view.width + 2 || ty - tr > view.height + 2) return;

  int32_t maskSize = 0;
  if (const uint8_t* mask = Raster_SmallCircleMask(radius, antialias, maskSize)) {
    Raster_BlendMask(dst, static_cast<int32_t>(cx - radius), static_cast<int32_t>(cy - radius),
                     colour, mask, maskSize, maskSize, opacity, mode);
    return;
  }
  if (view.bottomUp) cy = static_cast<float>(view.height - 1) - cy;
  const int32_t w = Raster_Weight(opacity);
  if (w == 0) return;
  const bool clip = !(cx - radius - 2.0f >= 0.0f && cy - radius - 2.0f >= 0.0f &&
                      cx + radius + 2.0f < static_cast<float>(view.width) &&
                      cy + radius + 2.0f < static_cast<float>(view.height));
  Raster_CircleOutline(dst, cx, cy, radius, colour, w, antialias, mode,
                       RRect{0, 0, view.width, view.height}, clip);
}
