// Composites one glyph's cached 8-bit coverage onto a bitmap in a colour.
#pragma once

#include "raster/RBlendMode.h"
#include "raster/RPixelView.h"

#include <cstdint>

struct RGlyphPaint {
  uint32_t textColour = 0;
  uint32_t outlineColour = 0xFFFFFFFF;  // the 128 pixels of shadows and outlines
  float opacity = 1.0f;
  RBlendMode mode = 0;
  // Coverage holds only 0, 128 and 255 (monochrome, shadow or outline).
  bool monochrome = false;
};

// Draws cols x rows coverage values (rows stride bytes apart) with their
// top-left at (x, y) of view; the area must lie inside the view. The text
// colour's alpha counts as 255 and the mode's RBlendUseAlpha is ignored;
// w = opacity x 256 (0 draws nothing).
// - Coverage c: weight c + 1 at w = 256, else min(w x c / 256, 256).
// - Monochrome: 255 takes the text colour and 128 the outline colour at
//   weight w; at opacity exactly 1 with Copy the pixel becomes the colour
//   word, its alpha byte included.
void Raster_BlendGlyph(const RPixelView& view, int32_t x, int32_t y, const uint8_t* coverage,
                       int32_t stride, int32_t cols, int32_t rows, const RGlyphPaint& paint);
