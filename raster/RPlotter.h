// Single-pixel drawing for lines, circles and arcs: a colour, the mode's
// plain per-pixel operation, and an optional clip rectangle. Rows are
// addressed as they lie in memory; callers have already mirrored y for
// bottom-up bitmaps. Pixels outside the bitmap are always skipped.
#pragma once

#include "raster/RBlendMode.h"
#include "raster/RPixelOps.h"
#include "raster/RPixelView.h"
#include "raster/RRect.h"

struct RPlotter {
  RPixelView view;
  RPixelOp op = nullptr;
  uint32_t colour = 0;
  int32_t r = 0, g = 0, b = 0, a = 0;
  RRect clip{};
  bool useClip = false;
  bool isCopy = false;

  // Only the operation bits of mode count; op is null for a value that
  // draws nothing. The view's rows are taken in memory order.
  static RPlotter For(RBitmap* bitmap, uint32_t colour, RBlendMode mode) {
    RPlotter p;
    p.view = RPixelView::Of(bitmap);
    p.view.bottomUp = false;
    p.op = Raster_PixelOp(Raster_BlendOperation(mode));
    p.isCopy = Raster_BlendOperation(mode) == RBlend::Copy;
    p.colour = colour;
    p.r = RPixel::Red(colour), p.g = RPixel::Green(colour), p.b = RPixel::Blue(colour);
    p.a = RPixel::Alpha(colour);
    return p;
  }

  bool CanDraw() const { return op && view.Usable(); }

  uint32_t* At(int32_t x, int32_t y) const {
    if (!view.Contains(x, y)) return nullptr;
    if (useClip && (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom))
      return nullptr;
    return view.Row(y) + x;
  }

  // The operation at weight v; for Copy, x' = s + (x - s) * (256 - v) / 256
  // on all four bytes.
  void Plot(int32_t x, int32_t y, int32_t v) const {
    if (uint32_t* p = At(x, y)) op(p, r, g, b, a, v);
  }

  void Write(int32_t x, int32_t y) const {
    if (uint32_t* p = At(x, y)) *p = colour;
  }

  void Average(int32_t x, int32_t y) const {
    if (uint32_t* p = At(x, y)) *p = RPixel::ByteAverage(*p, colour);
  }

  // Calls visit(paint) with the painter of weight w: Copy writes the colour
  // at full weight and averages at half weight; everything else plots at w.
  template <typename Visit>
  void WithPlainPainter(int32_t w, Visit visit) const {
    if (isCopy && w == 256) return visit([this](int32_t x, int32_t y) { Write(x, y); });
    if (isCopy && w == 128) return visit([this](int32_t x, int32_t y) { Average(x, y); });
    visit([this, w](int32_t x, int32_t y) { Plot(x, y, w); });
  }

  // The pixel becomes f(pixel) for a whole-word form f.
  template <typename F>
  void Word(int32_t x, int32_t y, F f) const {
    if (uint32_t* p = At(x, y)) *p = f(*p);
  }
};
