#include "raster/RGlyphCache.h"

#include "raster/RFont.h"
#include "raster/RGlyphShape.h"
#include "raster/RPixelView.h"
#include "raster/RSoftenCopy.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Offsets are stored as 1 + position in a signed 32-bit field.
constexpr int64_t kMaxCoverageBytes = INT32_MAX - 1;

bool ByCode(const RGlyph& glyph, uint16_t code) { return glyph.code < code; }

// The coverage values of the image, read from the red byte of each canvas
// pixel, inverted on request.
struct CanvasCoverage {
  RPixelView view;
  bool invert;

  int32_t At(int32_t x, int32_t y) const {
    const int32_t red = static_cast<int32_t>((view.Row(y)[x] >> 16) & 0xFF);
    return invert ? 255 - red : red;
  }
};

// Columns [first, last] holding ink in any row; first > last when none.
void InkColumns(const CanvasCoverage& image, int32_t width, int32_t height, int32_t& first,
                int32_t& last) {
  first = width;
  last = -1;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      if (image.At(x, y) != 0) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
}

void MarkEmpty(RGlyph& glyph) {
  const uint16_t code = glyph.code;
  glyph = RGlyph{};
  glyph.offset = -1;
  glyph.code = code;
}

}  // namespace

void RGlyphCache::Clear() {
  ascii.fill(RGlyph{});
  for (size_t i = 0; i < ascii.size(); ++i) ascii[i].code = static_cast<uint16_t>(i);
  extra.clear();
  coverage.clear();
  coverage.shrink_to_fit();
}

const RGlyph* RGlyphCache::Find(uint16_t code) const {
  if (code < ascii.size()) return &ascii[code];
  const auto it = std::lower_bound(extra.begin(), extra.end(), code, ByCode);
  return it != extra.end() && it->code == code ? &*it : nullptr;
}

const uint8_t* RGlyphCache::CoverageOf(const RGlyph& glyph) const {
  if (glyph.offset <= 0 || static_cast<size_t>(glyph.offset) > coverage.size()) return nullptr;
  return coverage.data() + (glyph.offset - 1);
}

RGlyph* RGlyphCache::RecordFor(uint16_t code, int32_t fontFlags) {
  if (code < ascii.size()) return &ascii[code];
  const auto it = std::lower_bound(extra.begin(), extra.end(), code, ByCode);
  if (it != extra.end() && it->code == code) return &*it;
  if (fontFlags & RFontFlag::AsciiOnly) return nullptr;
  RGlyph added;
  added.code = code;
  return &*extra.insert(it, added);
}

bool RGlyphCache::Render(RGlyphSource& source, uint16_t code, int32_t fontFlags) {
  RGlyph* glyph = RecordFor(code, fontFlags);
  if (!glyph) return false;
  RGlyphImage image;
  if (!source.Render(code, image)) return false;
  if (!StoreCoverage(*glyph, image, fontFlags)) MarkEmpty(*glyph);
  return true;
}

// Trims the image to the columns between its ink and its advance box,
// appends it to the buffer and applies the shape changes. False when the
// glyph renders as nothing.
bool RGlyphCache::StoreCoverage(RGlyph& glyph, const RGlyphImage& image, int32_t fontFlags) {
  const RPixelView view = RPixelView::Of(image.canvas);
  if (!view.Usable() || image.advance < 1 || image.height < 1) return false;
  // A source never reaches outside its own canvas.
  const int32_t boxWidth = std::clamp(image.width, 0, view.width);
  const int32_t height = std::min(image.height, view.height);
  if (fontFlags & RFontFlag::Soften)
    Raster_SoftenCopy(image.canvas, image.canvas, 0, 0, 0, 0, boxWidth, height);

  const CanvasCoverage source{view, (fontFlags & RFontFlag::Invert) != 0};
  int32_t firstInk, lastInk;
  InkColumns(source, boxWidth, height, firstInk, lastInk);
  // Keep the advance box and all ink; columns outside the canvas are empty.
  const int64_t left = std::min<int64_t>(image.origin, firstInk);
  const int64_t right = std::max<int64_t>(int64_t{image.advance} + image.origin, lastInk + 1);
  const int64_t bytes = (right - left) * height;
  if (right - left > INT32_MAX || bytes > kMaxCoverageBytes - static_cast<int64_t>(coverage.size()))
    return false;
  const int32_t width = static_cast<int32_t>(right - left);

  const size_t start = coverage.size();
  try {
    coverage.resize(start + static_cast<size_t>(bytes));
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint8_t* out = coverage.data() + start;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t i = 0; i < width; ++i) {
      const int64_t x = left + i;
      *out++ =
          x >= 0 && x < boxWidth ? static_cast<uint8_t>(source.At(static_cast<int32_t>(x), y)) : 0;
    }
  }

  glyph.offset = static_cast<int32_t>(start) + 1;
  glyph.width = width;
  glyph.height = height;
  glyph.advance = image.advance;
  glyph.bearing = static_cast<int32_t>(image.origin - left);
  uint8_t* stored = coverage.data() + start;
  if (fontFlags & RFontFlag::QuarterTurn) {
    const std::vector<uint8_t> upright(stored, stored + bytes);
    Raster_TurnCoverage(upright.data(), width, height,
                        (fontFlags & RFontFlag::CounterClockwise) != 0, stored);
    std::swap(glyph.width, glyph.height);
  }
  if (fontFlags & (RFontFlag::Monochrome | RFontFlag::Shadow | RFontFlag::Outline))
    Raster_ThresholdCoverage(stored, glyph.width, glyph.height);
  if (fontFlags & RFontFlag::Shadow) {
    Raster_AddCoverageShadow(stored, glyph.width, glyph.height);
  } else if (fontFlags & RFontFlag::Outline) {
    Raster_AddCoverageOutline(stored, glyph.width, glyph.height);
  }
  return true;
}
