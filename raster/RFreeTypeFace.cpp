#include "raster/RFreeTypeFace.h"

#include "raster/RPixelView.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>

namespace {

// GDI's size for a font asked for with height 0.
constexpr int32_t kDefaultCellHeight = 16;
// Beyond this, lines are taller than the glyph cache takes (1023 pixels)
// anyway; the limit keeps every size computation far from overflow.
constexpr int32_t kMaxPixelsPerEm = 4096;
// A glyph wider than this renders as nothing rather than growing the canvas
// without bound (a 4096-pixel em needs far less).
constexpr int32_t kMaxGlyphWidth = 16384;
// Windows' bold begins at FW_SEMIBOLD.
constexpr int32_t kBoldWeight = 600;
// GDI's NONANTIALIASED_QUALITY.
constexpr int32_t kNonAntialiased = 3;
constexpr uint32_t kBlack = 0xFF000000;

int64_t RoundedDivision(int64_t numerator, int64_t denominator) {
  return (2 * numerator + denominator) / (2 * denominator);
}

// The em in whole pixels for a cell height: the nearest, one less when the
// nearest would make the cell taller than asked (as GDI maps it).
int64_t EmForCell(int64_t cellHeight, int64_t cellUnits, int64_t unitsPerEm) {
  int64_t ppem = RoundedDivision(unitsPerEm * cellHeight, cellUnits);
  if (ppem > 1 && RoundedDivision(cellUnits * ppem, unitsPerEm) > cellHeight) --ppem;
  return ppem;
}

// The face's extent above and below the baseline in font units, as GDI
// measures it: the OS/2 table's Windows metrics, else the horizontal header's.
void VerticalExtent(FT_Face face, int64_t& above, int64_t& below) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  // Some fonts store the descent negated; GDI takes its magnitude.
  const int64_t winDescent = os2 ? std::abs(static_cast<int16_t>(os2->usWinDescent)) : 0;
  if (os2 && os2->usWinAscent + winDescent > 0) {
    above = os2->usWinAscent;
    below = winDescent;
  } else {
    above = face->ascender;
    below = -static_cast<int64_t>(face->descender);
  }
}

// Coverage of one bitmap pixel, 0..255.
uint32_t CoverageAt(const FT_Bitmap& bitmap, int32_t x, int32_t y) {
  const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
  return row[x];
}

}  // namespace

std::unique_ptr<RFreeTypeFace> RFreeTypeFace::Open(const char* path, int32_t index,
                                                   const RFontRequest& request) {
  std::unique_ptr<RFreeTypeFace> made(new RFreeTypeFace);
  if (!path || FT_Init_FreeType(&made->library) != 0) return nullptr;
  if (FT_New_Face(made->library, path, index, &made->face) != 0) return nullptr;
  return Sized(std::move(made), request);
}

std::unique_ptr<RFreeTypeFace> RFreeTypeFace::Open(RFontBytes bytes, int32_t index,
                                                   const RFontRequest& request) {
  std::unique_ptr<RFreeTypeFace> made(new RFreeTypeFace);
  if (!bytes || bytes->empty() || FT_Init_FreeType(&made->library) != 0) return nullptr;
  made->bytes = std::move(bytes);
  if (FT_New_Memory_Face(made->library, made->bytes->data(),
                         static_cast<FT_Long>(made->bytes->size()), index, &made->face) != 0)
    return nullptr;
  return Sized(std::move(made), request);
}

RFreeTypeFace::~RFreeTypeFace() {
  if (face) FT_Done_Face(face);
  if (library) FT_Done_FreeType(library);
}

std::unique_ptr<RFreeTypeFace> RFreeTypeFace::Sized(std::unique_ptr<RFreeTypeFace> made,
                                                    const RFontRequest& request) {
  FT_Face face = made->face;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;
  int64_t above, below;
  VerticalExtent(face, above, below);
  if (above < 0 || below < 0 || above + below == 0) return nullptr;

  const int64_t height = request.height == 0 ? kDefaultCellHeight : request.height;
  const int64_t ppem = height < 0 ? -height
                                  : EmForCell(std::min<int64_t>(height, kMaxPixelsPerEm * 4),
                                              above + below, face->units_per_EM);
  if (ppem < 1 || ppem > kMaxPixelsPerEm) return nullptr;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) return nullptr;

  // Pixels per font unit in 16.16, each extent rounded once from it.
  const int64_t scale = RoundedDivision(ppem << 16, face->units_per_EM);
  made->ascent = static_cast<int32_t>((above * scale + 0x8000) >> 16);
  made->descent = static_cast<int32_t>((below * scale + 0x8000) >> 16);
  made->monochrome = request.quality == kNonAntialiased;
  made->emboldened = request.weight >= kBoldWeight && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  made->slanted = request.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  return made;
}

bool RFreeTypeFace::LoadOutline(uint16_t code) {
  // Hinted as the face's own instructions say (FreeType's v40 interpreter
  // keeps advances on whole pixels, as GDI does); outlines only, since the
  // synthesised styles and the coverage conversion need them.
  const FT_Int32 flags =
      FT_LOAD_NO_BITMAP | (monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (FT_Load_Char(face, code, flags) != 0) return false;
  if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  if (emboldened) FT_GlyphSlot_Embolden(face->glyph);
  if (slanted) FT_GlyphSlot_Oblique(face->glyph);
  return FT_Render_Glyph(face->glyph, monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) ==
         0;
}

bool RFreeTypeFace::Render(uint16_t code, RGlyphImage& image) {
  image = RGlyphImage{};
  image.height = LineHeight();
  if (code < 32 || !LoadOutline(code)) return true;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  const bool readable = bitmap.pitch >= 0 && (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY ||
                                              bitmap.pixel_mode == FT_PIXEL_MODE_MONO);
  if (!readable) return true;

  // The box spans the advance and all ink; the pen sits at column origin.
  const int64_t advance = (static_cast<int64_t>(slot->advance.x) + 32) >> 6;
  const int64_t inkLeft = slot->bitmap_left;
  const int64_t origin = std::max<int64_t>(0, -inkLeft);
  const int64_t width = std::max(origin + advance, origin + inkLeft + bitmap.width);
  if (advance < 1 || advance > kMaxGlyphWidth || width > kMaxGlyphWidth) return true;

  if (canvas.Width() < width || canvas.Height() < image.height)
    canvas.Resize(std::max(static_cast<int32_t>(width), canvas.Width()),
                  std::max(image.height, canvas.Height()));
  const RPixelView view = RPixelView::Of(&canvas);
  if (!view.Usable() || view.width < width || view.height < image.height) return false;

  const int32_t boxWidth = static_cast<int32_t>(width);
  const int32_t left = static_cast<int32_t>(origin + inkLeft);
  const int32_t top = ascent - slot->bitmap_top;  // canvas row of the bitmap's first row
  for (int32_t y = 0; y < image.height; ++y) std::fill_n(view.Row(y), boxWidth, kBlack);
  const int32_t firstRow = std::max(0, -top);
  const int32_t lastRow = std::min(static_cast<int32_t>(bitmap.rows), image.height - top);
  for (int32_t r = firstRow; r < lastRow; ++r) {
    uint32_t* row = view.Row(top + r) + left;
    for (int32_t x = 0; x < static_cast<int32_t>(bitmap.width); ++x)
      row[x] = kBlack | CoverageAt(bitmap, x, r) * 0x010101u;
  }
  image.canvas = &canvas;
  image.width = boxWidth;
  image.origin = static_cast<int32_t>(origin);
  image.advance = static_cast<int32_t>(advance);
  return true;
}
