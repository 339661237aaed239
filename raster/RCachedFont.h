// Text with a platform font, drawn either by the platform's own string
// engine (GDI, straight into a bitmap's device context or through a scratch
// bitmap) or from a cache of each character's 8-bit coverage, rendered once
// per font. The glyph path also gives quarter-turned, softened, inverted,
// monochrome, shadowed and outlined text.
//
// Every operation runs on the editor's window thread; no locks.
#pragma once

#include "raster/RFont.h"
#include "raster/RGlyph.h"
#include "raster/RGlyphCache.h"

#include <memory>

class RCachedFont : public RFont {
 public:
  RCachedFont();
  // Closes an owned font (RFontFlag::OwnsFont); the last font gone releases
  // the scratch bitmaps shared by all fonts.
  ~RCachedFont() override;

  // Takes font (null: none) with RFontFlag flags and empties the glyph
  // cache; with AsciiOnly renders codes 0-127 at once and returns the last
  // result. False when a font is given but cannot be read.
  bool SetFont(RFontHandle font, int32_t flags) override;
  uint32_t SetTextColour(uint32_t colour) override;
  uint32_t SetBackgroundColour(uint32_t colour) override;
  uint32_t SetOutlineColour(uint32_t colour) override;
  int32_t SetBackgroundMode(int32_t mode) override;
  void SetBlend(RBlendMode mode, float opacity) override;
  // A null text or rectangle draws nothing and returns 0, as does a null
  // bitmap unless measuring (RText::CalcRect).
  int32_t DrawText(RBitmap* bitmap, const char* text, int32_t length, RRect* rect,
                   uint32_t flags) override;
  uint32_t GetTextColour() override { return textColour; }
  RFontHandle GetFontHandle() override { return fontHandle; }
  int32_t GetLineHeight() override { return lineHeight; }

  // Draws one character's cached coverage (rendering it first if needed)
  // with the pen at (x, y), inside clip and the bitmap. False when nothing
  // could be drawn.
  virtual bool DrawGlyph(RBitmap* bitmap, uint16_t code, int32_t x, int32_t y, const RRect& clip);

  // The record of code, or null when it has none yet.
  const RGlyph* FindGlyph(uint16_t code) const { return glyphs.Find(code); }
  // Renders code into the cache; false for fonts taller than 1023 pixels,
  // codes the font flags refuse, or when there is no font.
  bool RenderGlyph(uint16_t code);
  // The glyph's coverage rows (width bytes each), or null when it has none.
  const uint8_t* GlyphCoverage(const RGlyph& glyph) const { return glyphs.CoverageOf(glyph); }

 private:
  bool UsesSystemEngine(RBitmap* bitmap, uint32_t flags, bool noSystem);
  int32_t DrawWithSystem(RBitmap* bitmap, const char* text, int32_t length, RRect* rect,
                         uint32_t flags);
  // The record of code with its coverage rendered, or null when it has none.
  const RGlyph* GlyphWithCoverage(uint16_t code);
  template <typename Visit>
  void WalkText(const char* text, int32_t length, uint32_t flags, Visit&& visit);
  int32_t MeasureGlyphs(const char* text, int32_t length, RRect& rect, uint32_t flags);
  int32_t DrawGlyphs(RBitmap* bitmap, const char* text, int32_t length, const RRect& rect,
                     uint32_t flags);
  int32_t PaintGlyphs(RBitmap* bitmap, const char* text, int32_t length, const RRect& rect,
                      uint32_t flags);

  uint32_t textColour = 0;
  uint32_t backgroundColour = 0xFFFFFFFF;
  uint32_t outlineColour = 0xFFFFFFFF;
  int32_t backgroundMode = 1;
  RBlendMode blendMode = RBlend::Copy;
  float opacity = 1.0f;
  int32_t fontFlags = 0;
  int32_t lineHeight = 0;
  int32_t lineGap = 0;  // extra space between lines
  RGlyphCache glyphs;
  RFontHandle fontHandle = nullptr;
  RFontSystem* system = nullptr;  // the system that opened the font
  std::unique_ptr<RGlyphSource> source;
};
