// The glyphs of one font: a record per character, found by index for ASCII
// and by bisection of a table sorted by code for the rest, and one buffer
// holding every rendered glyph's 8-bit coverage.
#pragma once

#include "raster/RGlyph.h"
#include "raster/RGlyphSource.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class RGlyphCache {
 public:
  // Forgets every glyph and gives the coverage memory back.
  void Clear();

  // The record of code, or null when there is none (yet).
  const RGlyph* Find(uint16_t code) const;

  // Rasterises code through source and caches its coverage with the shape
  // changes that fontFlags (RFontFlag) ask for. With RFontFlag::AsciiOnly,
  // codes of 128 and above are refused. A character that renders as
  // nothing, or whose coverage would not fit the buffer's 32-bit offsets, is
  // kept as rendering nothing. False when refused or when the source failed.
  bool Render(RGlyphSource& source, uint16_t code, int32_t fontFlags);

  // The glyph's coverage rows, or null when it has none.
  const uint8_t* CoverageOf(const RGlyph& glyph) const;

  size_t CoverageSize() const { return coverage.size(); }

 private:
  RGlyph* RecordFor(uint16_t code, int32_t fontFlags);
  bool StoreCoverage(RGlyph& glyph, const RGlyphImage& image, int32_t fontFlags);

  std::array<RGlyph, 128> ascii{};
  std::vector<RGlyph> extra;  // sorted by code
  std::vector<uint8_t> coverage;
};
