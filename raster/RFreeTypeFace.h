// One font face read by FreeType and sized the way Windows sizes a font of
// the same request, so texts measure alike on every platform: a positive
// height is the cell height (ascent plus descent, GDI's tmHeight), a
// negative one the character (em) height, and outlines are rendered at a
// whole number of pixels per em, as the TrueType rasteriser of GDI does.
// Bold and italic are synthesised when the face itself is neither.
//
// A face has its own FreeType library instance, so faces on different
// threads share nothing. Each face is used by one thread at a time (the
// editor's window thread).
#pragma once

#include "raster/RFontSystem.h"
#include "raster/RGlyphSource.h"
#include "raster/RMemBitmap.h"

#include <cstdint>
#include <memory>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

// Font file bytes, shared by every face opened from them (FreeType reads
// them for as long as the face lives).
using RFontBytes = std::shared_ptr<const std::vector<uint8_t>>;

class RFreeTypeFace {
 public:
  // The face at index in a font file or in font bytes, sized and styled for
  // request (its face name is not looked at). Null when FreeType cannot read
  // the face or the size is out of reach.
  static std::unique_ptr<RFreeTypeFace> Open(const char* path, int32_t index,
                                             const RFontRequest& request);
  static std::unique_ptr<RFreeTypeFace> Open(RFontBytes bytes, int32_t index,
                                             const RFontRequest& request);
  ~RFreeTypeFace();

  int32_t LineHeight() const { return ascent + descent; }

  // Rasterises code as RGlyphSource::Render describes, into this face's own
  // canvas (valid until the next Render). Characters below 32, ones
  // FreeType cannot load and ones too wide for the canvas render as nothing
  // (advance 0); false only when the canvas cannot be allocated.
  bool Render(uint16_t code, RGlyphImage& image);

 private:
  RFreeTypeFace() = default;
  RFreeTypeFace(const RFreeTypeFace&) = delete;
  RFreeTypeFace& operator=(const RFreeTypeFace&) = delete;

  static std::unique_ptr<RFreeTypeFace> Sized(std::unique_ptr<RFreeTypeFace> face,
                                              const RFontRequest& request);
  bool LoadOutline(uint16_t code);

  FT_LibraryRec_* library = nullptr;
  FT_FaceRec_* face = nullptr;
  RFontBytes bytes;  // kept alive for a face opened from memory
  RMemBitmap canvas{0, 0, 4};
  int32_t ascent = 0;
  int32_t descent = 0;
  bool monochrome = false;  // the request asked for no antialiasing
  bool emboldened = false;
  bool slanted = false;
};
