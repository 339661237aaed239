#include "tests/raster/FakeFontSystem.h"

#include "raster/RPixelView.h"

#include <algorithm>

namespace {

struct FakeFont {
  int32_t height;
};

FakeFont* FontOf(RFontHandle handle) { return reinterpret_cast<FakeFont*>(handle); }

FakeGlyph BlockGlyph(uint16_t code, int32_t h) {
  FakeGlyph glyph;
  glyph.height = h;
  if (code < 32) return glyph;
  glyph.advance = code == ' ' ? h / 4 : h / 2;
  glyph.width = glyph.advance;
  glyph.coverage.assign(static_cast<size_t>(glyph.width) * h, 0);
  if (code == ' ') return glyph;
  const int32_t first = 1, last = glyph.advance - 2;
  const int32_t top = h / 4 + code % 4, bottom = h - h / 8 - 1;
  for (int32_t y = top; y <= bottom; ++y) {
    for (int32_t x = first; x <= last; ++x)
      glyph.coverage[static_cast<size_t>(y) * glyph.width + x] =
          x == first || x == last ? 128 : 255;
  }
  return glyph;
}

}  // namespace

class FakeGlyphSource final : public RGlyphSource {
 public:
  FakeGlyphSource(FakeFontSystem& owner, int32_t fontHeight) : system(owner), height(fontHeight) {}

  int32_t LineHeight() override { return height; }

  bool Render(uint16_t code, RGlyphImage& image) override {
    ++system.glyphsRendered;
    const FakeGlyph glyph = system.GlyphFor(code, height);
    RMemBitmap& canvas = system.Canvas(glyph.width, glyph.height);
    const RPixelView view = RPixelView::Of(&canvas);
    for (int32_t y = 0; y < glyph.height; ++y) {
      for (int32_t x = 0; x < glyph.width; ++x) {
        const uint32_t c = glyph.coverage[static_cast<size_t>(y) * glyph.width + x];
        view.Row(y)[x] = 0xFF000000u | c * 0x010101u;
      }
    }
    image.canvas = &canvas;
    image.width = glyph.width;
    image.height = glyph.height;
    image.origin = glyph.origin;
    image.advance = glyph.advance;
    return true;
  }

 private:
  FakeFontSystem& system;
  int32_t height;
};

FakeFontSystem::FakeFontSystem() = default;
FakeFontSystem::~FakeFontSystem() = default;

RFontHandle FakeFontSystem::OpenFont(const RFontRequest& request) {
  return OpenFont(request.height);
}

RFontHandle FakeFontSystem::OpenFont(int32_t height) {
  ++openFonts;
  return reinterpret_cast<RFontHandle>(new FakeFont{height > 0 ? height : 16});
}

void FakeFontSystem::CloseFont(RFontHandle font) {
  if (!font) return;
  --openFonts;
  delete FontOf(font);
}

std::unique_ptr<RGlyphSource> FakeFontSystem::OpenGlyphSource(RFontHandle font) {
  return std::make_unique<FakeGlyphSource>(*this, FontOf(font)->height);
}

void FakeFontSystem::ReleaseScratch() { canvas.Resize(0, 0); }

void FakeFontSystem::Define(uint16_t code, FakeGlyph glyph) { defined[code] = std::move(glyph); }

FakeGlyph FakeFontSystem::GlyphFor(uint16_t code, int32_t height) const {
  const auto it = defined.find(code);
  return it != defined.end() ? it->second : BlockGlyph(code, height);
}

RMemBitmap& FakeFontSystem::Canvas(int32_t width, int32_t height) {
  if (canvas.Width() < width || canvas.Height() < height)
    canvas.Resize(std::max(width, canvas.Width()), std::max(height, canvas.Height()));
  return canvas;
}
