#include "raster/RBlitTransformed.h"

#include "platform/SaturatingConversions.h"
#include "raster/RBilinearSample.h"
#include "raster/RPixelOps.h"
#include "raster/RPixelRows.h"
#include "raster/RPixelView.h"
#include "raster/RWeight.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFixedOne = 65536.0f;

RSampleSource LimitsOf(const RPixelView& src, int32_t left, int32_t top, int32_t width,
                       int32_t height) {
  const uint32_t* first = src.Row(top) + left;
  const ptrdiff_t step = height > 1 ? src.Row(top + 1) - src.Row(top) : src.span;
  return {first, step, width, height};
}

// Destination block and the 16.16 source walk across it; start relative to
// the limits' top-left.
struct TransformWalk {
  RPixelView dst;
  int32_t dstX, dstY, cols, rows;
  int64_t startX, startY, colStepX, colStepY, rowStepX, rowStepY;
};

struct NearestSampler {
  static bool Sample(const RSampleSource& s, int64_t x, int64_t y, uint32_t& out) {
    const int64_t col = x >> 16, row = y >> 16;
    if (!s.Contains(col, row)) return false;
    out = s.RowAt(row)[col];
    return true;
  }
};

struct BilinearSampler {
  static bool Sample(const RSampleSource& s, int64_t x, int64_t y, uint32_t& out) {
    return Raster_BilinearSample(s, x, y, out);
  }
};

template <typename Sampler, typename Op>
void WalkAndBlend(const TransformWalk& walk, const RSampleSource& limits, int32_t w) {
  int64_t rowX = walk.startX, rowY = walk.startY;
  for (int32_t r = 0; r < walk.rows; ++r) {
    uint32_t* d = walk.dst.Row(walk.dstY + r) + walk.dstX;
    int64_t x = rowX, y = rowY;
    for (int32_t i = 0; i < walk.cols; ++i) {
      uint32_t p;
      if (Sampler::Sample(limits, x, y, p)) {
        Op::Apply(d + i, RPixel::Red(p), RPixel::Green(p), RPixel::Blue(p), RPixel::Alpha(p), w);
      }
      x += walk.colStepX;
      y += walk.colStepY;
    }
    rowX += walk.rowStepX;
    rowY += walk.rowStepY;
  }
}

// The rotated knob's draw: bilinear samples alpha-blended a row at a time by
// the fastest row unit.
void SampleAndAlphaBlend(const TransformWalk& walk, const RSampleSource& limits, int32_t w) {
  const RPixelRows& units = Raster_PixelRows();
  int64_t rowX = walk.startX, rowY = walk.startY;
  for (int32_t r = 0; r < walk.rows; ++r) {
    units.bilinearAlphaBlend(walk.dst.Row(walk.dstY + r) + walk.dstX, limits, rowX, rowY,
                             walk.colStepX, walk.colStepY, walk.cols, w);
    rowX += walk.rowStepX;
    rowY += walk.rowStepY;
  }
}

int64_t ToFixed(float value) { return TruncateToInt64(static_cast<double>(value * kFixedOne)); }

bool AllFinite(std::initializer_list<float> values) {
  for (float v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

void Raster_BlitTransformed(RBitmap* dst, RBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW,
                            int32_t dstH, float srcX, float srcY, float srcW, float srcH,
                            float angle, bool clipToSrcRect, float opacity, RBlendMode mode,
                            float offsetX, float offsetY) {
  if (!dst || !src || dstW == 0 || dstH == 0) return;
  const RPixelView dstView = RPixelView::Of(dst), srcView = RPixelView::Of(src);
  if (!dstView.Usable() || !srcView.Usable()) return;

  float limitLeft = 0.0f, limitTop = 0.0f;
  float limitRight = static_cast<float>(srcView.width),
        limitBottom = static_cast<float>(srcView.height);
  if (clipToSrcRect) {
    limitLeft = srcX > 0.0f ? srcX : 0.0f;
    limitTop = srcY > 0.0f ? srcY : 0.0f;
    limitRight = std::min(limitRight, srcX + srcW);
    limitBottom = std::min(limitBottom, srcY + srcH);
  }

  int64_t x = dstX, y = dstY, cols = dstW, rows = dstH;
  if (cols < 0) {
    cols = -cols, x += dstW;
    srcX += srcW, srcW = -srcW;
  }
  if (rows < 0) {
    rows = -rows, y += dstH;
    srcY += srcH, srcH = -srcH;
  }

  const float c = std::cos(angle), s = std::sin(angle);
  const float colsF = static_cast<float>(cols), rowsF = static_cast<float>(rows);
  const float colStepX = srcW / colsF * c, colStepY = -srcH / rowsF * s;
  const float rowStepX = srcW / colsF * s, rowStepY = srcH / rowsF * c;
  // The destination centre samples the source rectangle's centre plus the offset.
  float startX = srcX - ((rowsF * rowStepX + colsF * colStepX - srcW) * 0.5f - offsetX);
  float startY = srcY - ((colsF * colStepY + rowsF * rowStepY - srcH) * 0.5f - offsetY);

  if (x < 0) {
    const float skipped = static_cast<float>(-x);
    cols += x, x = 0;
    startX += skipped * colStepX, startY += skipped * colStepY;
  }
  if (y < 0) {
    const float skipped = static_cast<float>(-y);
    rows += y, y = 0;
    startX += skipped * rowStepX, startY += skipped * rowStepY;
  }
  if (cols <= 0 || rows <= 0 || x >= dstView.width || y >= dstView.height) return;
  cols = std::min<int64_t>(cols, dstView.width - x);
  rows = std::min<int64_t>(rows, dstView.height - y);

  const int32_t left = TruncateToInt32(limitLeft), top = TruncateToInt32(limitTop);
  const int32_t right = TruncateToInt32(limitRight), bottom = TruncateToInt32(limitBottom);
  if (left >= right || top >= bottom) return;
  const int32_t w = Raster_Weight(opacity);
  if (w == 0) return;
  if (!AllFinite({startX, startY, colStepX, colStepY, rowStepX, rowStepY})) return;

  const RSampleSource limits = LimitsOf(srcView, left, top, right - left, bottom - top);
  const TransformWalk walk{dstView,
                           static_cast<int32_t>(x),
                           static_cast<int32_t>(y),
                           static_cast<int32_t>(cols),
                           static_cast<int32_t>(rows),
                           ToFixed(startX) - int64_t{left} * 65536,
                           ToFixed(startY) - int64_t{top} * 65536,
                           ToFixed(colStepX),
                           ToFixed(colStepY),
                           ToFixed(rowStepX),
                           ToFixed(rowStepY)};
  const bool bilinear = (mode & RBlendFilterMask) == RBlendBilinear;
  // Within one bitmap a run's samples could read pixels the blend has
  // already changed, so that case stays pixel by pixel.
  if (bilinear && Raster_BlendOperation(mode) == RBlend::Copy && (mode & RBlendUseAlpha) != 0 &&
      dstView.pixels != srcView.pixels) {
    SampleAndAlphaBlend(walk, limits, w);
    return;
  }
  Raster_WithPixelOp(mode, [&]<typename Op>() {
    if (bilinear) {
      WalkAndBlend<BilinearSampler, Op>(walk, limits, w);
    } else {
      WalkAndBlend<NearestSampler, Op>(walk, limits, w);
    }
  });
}
