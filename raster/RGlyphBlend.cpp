#include "raster/RGlyphBlend.h"

#include "raster/RPixelOps.h"
#include "raster/RWeight.h"

#include <algorithm>

namespace {

constexpr uint8_t kInk = 255;
constexpr uint8_t kEdge = 128;

struct Area {
  const RPixelView& view;
  int32_t x, y;
  const uint8_t* coverage;
  int32_t stride, cols, rows;

  uint32_t* Row(int32_t r) const { return view.Row(y + r) + x; }
  const uint8_t* CoverageRow(int32_t r) const {
    return coverage + static_cast<ptrdiff_t>(r) * stride;
  }
};

struct Colour {
  int32_t r, g, b;
  explicit Colour(uint32_t word)
      : r(RPixel::Red(word)), g(RPixel::Green(word)), b(RPixel::Blue(word)) {}
};

template <typename Op>
void BlendCoverage(const Area& a, uint32_t colour, int32_t w) {
  const Colour s(colour);
  for (int32_t row = 0; row < a.rows; ++row) {
    uint32_t* d = a.Row(row);
    const uint8_t* c = a.CoverageRow(row);
    for (int32_t i = 0; i < a.cols; ++i) {
      if (c[i] == 0) continue;
      const int32_t k = w == 256 ? c[i] + 1 : std::min(w * c[i] / 256, 256);
      Op::Apply(d + i, s.r, s.g, s.b, 255, k);
    }
  }
}

template <typename Op>
void BlendMonochrome(const Area& a, uint32_t text, uint32_t outline, int32_t w) {
  const Colour t(text), o(outline);
  for (int32_t row = 0; row < a.rows; ++row) {
    uint32_t* d = a.Row(row);
    const uint8_t* c = a.CoverageRow(row);
    for (int32_t i = 0; i < a.cols; ++i) {
      if (c[i] == kInk) {
        Op::Apply(d + i, t.r, t.g, t.b, 255, w);
      } else if (c[i] == kEdge) {
        Op::Apply(d + i, o.r, o.g, o.b, 255, w);
      }
    }
  }
}

void CopyMonochromeWords(const Area& a, uint32_t text, uint32_t outline) {
  for (int32_t row = 0; row < a.rows; ++row) {
    uint32_t* d = a.Row(row);
    const uint8_t* c = a.CoverageRow(row);
    for (int32_t i = 0; i < a.cols; ++i) {
      if (c[i] == kInk) {
        d[i] = text;
      } else if (c[i] == kEdge) {
        d[i] = outline;
      }
    }
  }
}

}  // namespace

void Raster_BlendGlyph(const RPixelView& view, int32_t x, int32_t y, const uint8_t* coverage,
                       int32_t stride, int32_t cols, int32_t rows, const RGlyphPaint& paint) {
  const int32_t w = Raster_Weight(paint.opacity);
  if (w == 0 || cols <= 0 || rows <= 0) return;
  const Area area{view, x, y, coverage, stride, cols, rows};
  const RBlendMode plain = paint.mode & ~RBlendUseAlpha;
  if (paint.monochrome && paint.opacity == 1.0f && Raster_BlendOperation(plain) == RBlend::Copy) {
    CopyMonochromeWords(area, paint.textColour, paint.outlineColour);
    return;
  }
  Raster_WithPixelOp(plain, [&]<typename Op>() {
    if (paint.monochrome) {
      BlendMonochrome<Op>(area, paint.textColour, paint.outlineColour, w);
    } else {
      BlendCoverage<Op>(area, paint.textColour, w);
    }
  });
}
