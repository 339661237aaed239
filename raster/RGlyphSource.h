// The seam between the glyph cache and the font engine that rasterises one
// character at a time (GDI on Windows; any engine that yields a glyph's
// advance, its ink box and 8-bit coverage can stand behind it).
#pragma once

#include "raster/RBitmap.h"

#include <cstdint>

// One character as the engine rasterised it. The coverage box is the
// rectangle (0, 0, width, height) of canvas, white ink on black: the red byte
// of each pixel is the coverage 0..255. Row 0 is the top of the text line;
// column `origin` is the pen position, so ink left of it overhangs the
// previous character. The canvas stays valid until the next Render by any
// source, and the cache may change it in place.
struct RGlyphImage {
  RBitmap* canvas = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t origin = 0;
  int32_t advance = 0;
};

// One font, opened by its font system. Every operation runs on the editor's
// window thread (fonts and their scratch bitmaps are not shared across
// threads).
class RGlyphSource {
 public:
  virtual ~RGlyphSource() = default;

  // Height of a text line in pixels (GDI's tmHeight).
  virtual int32_t LineHeight() = 0;

  // Rasterises code (a UTF-16 code unit). An advance or height below 1 means
  // the character renders as nothing. False when the engine could not draw
  // at all right now (no device context, no memory); the cache then tries
  // again on the next use.
  virtual bool Render(uint16_t code, RGlyphImage& image) = 0;

 protected:
  RGlyphSource() = default;
  RGlyphSource(const RGlyphSource&) = delete;
  RGlyphSource& operator=(const RGlyphSource&) = delete;
};
