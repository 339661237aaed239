#include "raster/RFill.h"
#include "raster/RGdiText.h"

#include <windows.h>

#include <algorithm>

namespace {

// Room for a glyph cell and its overhang on either side.
constexpr int32_t kMetricsScratch = 256;

int32_t ReadLineHeight(HFONT font) {
  HDC dc = Raster_GlyphScratch(kMetricsScratch).DeviceContext();
  if (!dc) return -1;
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  const BOOL read = GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  return read ? metrics.tmHeight : -1;
}

// GDI cannot tell where a character's ink ends, so each is drawn with room
// around its advance box: a margin of a sixteenth of the line height plus
// two pixels on the left, twice that plus four in all.
class GdiGlyphSource final : public RGlyphSource {
 public:
  GdiGlyphSource(HFONT gdiFont, int32_t height) : font(gdiFont), lineHeight(height) {}

  int32_t LineHeight() override { return lineHeight; }

  bool Render(uint16_t code, RGlyphImage& image) override {
    const int32_t size = std::max(lineHeight, 1) * 2 + 8;
    RSysBitmap& scratch = Raster_GlyphScratch(size);
    HDC dc = scratch.DeviceContext();
    if (!dc || !scratch.Pixels()) return false;
    HGDIOBJ previous = SelectObject(dc, font);
    const int32_t margin = lineHeight < 16 ? 0 : lineHeight / 16;
    const int32_t left = margin + 2;
    const wchar_t character = static_cast<wchar_t>(code);

    RECT cell = {0, 0, 0, 0};
    DrawTextW(dc, &character, 1, &cell, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
    int32_t advance = cell.right;
    int32_t height = cell.bottom;
    int32_t boxWidth = advance + 2 * margin + 4;
    Raster_FillRect(&scratch, 0, 0, boxWidth, height, 0, 1.0f, RBlend::Copy);
    RECT ink = {left, 0, left + advance, height};
    DrawTextW(dc, &character, 1, &ink, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
    GdiFlush();
    SelectObject(dc, previous);

    advance = std::min(advance, scratch.Width());
    boxWidth = std::min(boxWidth, scratch.Width());
    height = std::min(height, scratch.Height());
    image.canvas = &scratch;
    image.width = boxWidth;
    image.height = height;
    image.origin = left;
    image.advance = advance;
    return true;
  }

 private:
  HFONT font;
  int32_t lineHeight;
};

}  // namespace

std::unique_ptr<RGlyphSource> Raster_OpenGdiGlyphSource(RFontHandle font) {
  const int32_t lineHeight = ReadLineHeight(font);
  if (lineHeight < 0) return nullptr;
  return std::make_unique<GdiGlyphSource>(font, lineHeight);
}
