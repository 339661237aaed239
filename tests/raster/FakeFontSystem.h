// A font system whose glyphs are known to the pixel, for testing text
// drawing without a platform font engine. Any test folder can link it
// (dm_fake_fonts) and install it with Raster_SetFontSystem.
//
// A font of height h (request height, 16 when not positive) has line height
// h and, unless a glyph is defined for the code:
// - codes below 32: render as nothing (advance 0);
// - the space: advance h / 4, no ink;
// - every other code: advance h / 2 and an ink block over the columns 1 to
//   advance - 2 and the rows top to h - h / 8 - 1, top = h / 4 + code % 4;
//   coverage 255 inside and 128 in the block's first and last column.
#pragma once

#include "raster/RFontSystem.h"
#include "raster/RMemBitmap.h"

#include <cstdint>
#include <map>
#include <vector>

struct FakeGlyph {
  int32_t advance = 0;
  int32_t origin = 0;  // pen column inside the box
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> coverage;  // width x height, rows consecutive
};

class FakeFontSystem final : public RFontSystem {
 public:
  FakeFontSystem();
  ~FakeFontSystem() override;

  RFontHandle OpenFont(const RFontRequest& request) override;
  void CloseFont(RFontHandle font) override;
  std::unique_ptr<RGlyphSource> OpenGlyphSource(RFontHandle font) override;
  void ReleaseScratch() override;

  // A font of the given height, as OpenFont would make it.
  RFontHandle OpenFont(int32_t height);
  // Every font of this system draws code as glyph from now on.
  void Define(uint16_t code, FakeGlyph glyph);
  // The glyph a font of the given height draws for code.
  FakeGlyph GlyphFor(uint16_t code, int32_t height) const;

  int32_t OpenFonts() const { return openFonts; }
  int32_t GlyphsRendered() const { return glyphsRendered; }

 private:
  friend class FakeGlyphSource;
  RMemBitmap& Canvas(int32_t width, int32_t height);

  std::map<uint16_t, FakeGlyph> defined;
  RMemBitmap canvas{0, 0, 4};
  int32_t openFonts = 0;
  int32_t glyphsRendered = 0;
};

// Installs a FakeFontSystem for the lifetime of a test fixture or scope.
class ScopedFakeFonts {
 public:
  ScopedFakeFonts() { Raster_SetFontSystem(&fonts); }
  ~ScopedFakeFonts() { Raster_SetFontSystem(nullptr); }
  FakeFontSystem fonts;
};
