// The platform's fonts as the raster library sees them: creating and
// deleting font handles, opening a glyph source for a handle, and, where the
// platform has one, its own engine for drawing whole strings.
//
// The process uses one font system: the platform's (GDI on Windows, FreeType
// with fontconfig on Linux) unless another is installed, which is how tests
// run text through a font system with known glyphs.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"
#include "raster/RGlyphSource.h"
#include "raster/RRect.h"

#include <cstdint>
#include <memory>

// Opaque font handle (HFONT under STRICT on Windows), so the portable core
// needs no Windows header. Other font systems cast their own font records.
struct HFONT__;
using RFontHandle = HFONT__*;

// A font as the editor's text styles describe it.
struct RFontRequest {
  const char* face = "";
  int32_t height = 0;      // character height in pixels
  int32_t escapement = 0;  // text angle in tenths of a degree
  int32_t weight = 400;    // 400 normal, 700 bold
  bool italic = false;
  int32_t quality =
      0;  // Win32 quality value: 0 default, 3 non-antialiased, 4 antialiased, 5 ClearType
};

// Everything the system's string engine needs to draw one text the way the
// cached font would.
struct RStringJob {
  RFontHandle font = nullptr;
  int32_t lineHeight = 0;
  uint32_t textColour = 0;
  uint32_t backgroundColour = 0xFFFFFFFF;
  int32_t backgroundMode = 1;
  float opacity = 1.0f;
  RBitmap* bitmap = nullptr;  // null: measure only
  const char* text = nullptr;
  int32_t length = 0;  // bytes; 0 or less: up to the terminating zero
  RRect* rect = nullptr;
  uint32_t flags = 0;
};

class RFontSystem {
 public:
  virtual ~RFontSystem() = default;

  // Null when the font cannot be created.
  virtual RFontHandle OpenFont(const RFontRequest& request) = 0;
  virtual void CloseFont(RFontHandle font) = 0;
  // Null when the font cannot be read.
  virtual std::unique_ptr<RGlyphSource> OpenGlyphSource(RFontHandle font) = 0;

  // True when the system draws whole strings itself (DrawString).
  virtual bool DrawsStrings() { return false; }
  // True when the system's string drawing is known to look worse than the
  // glyph cache (GDI under Wine).
  virtual bool PrefersGlyphs() { return true; }
  // Draws or measures job's text; returns the text height, 0 when nothing
  // could be drawn.
  virtual int32_t DrawString(const RStringJob& job) {
    (void)job;
    return 0;
  }

  // Called when the last cached font is destroyed: scratch bitmaps shared by
  // all fonts go.
  virtual void ReleaseScratch() {}

 protected:
  RFontSystem() = default;
  RFontSystem(const RFontSystem&) = delete;
  RFontSystem& operator=(const RFontSystem&) = delete;
};

// The process's font system. Window thread only.
RFontSystem& Raster_FontSystem();
// Installs another font system (not owned); null goes back to the
// platform's. Fonts keep the system they were set up with.
void Raster_SetFontSystem(RFontSystem* system);
// The platform's own font system; defined per platform.
RFontSystem& Raster_PlatformFontSystem();
