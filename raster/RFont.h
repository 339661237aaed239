// The abstract font: text drawn into raster bitmaps with a platform font.
// Every operation runs on the editor's window thread; no locks.
#pragma once

#include "raster/RBitmap.h"
#include "raster/RBlendMode.h"
#include "raster/RFontSystem.h"
#include "raster/RRect.h"

#include <cstdint>

// <windows.h> maps DrawText to DrawTextA or DrawTextW. Code that needs both
// includes it first (the macro goes here) and calls the Win32 functions by
// their full names; included later, the macro turns calls of DrawText into
// compile errors.
#ifdef DrawText
#undef DrawText
#endif

// Text flags of DrawText: the Win32 DrawText format bits (every bit not
// named here is passed to the system's string engine unchanged), plus two
// of the library's own in the top bits.
namespace RText {
inline constexpr uint32_t Center = 0x1;
inline constexpr uint32_t Right = 0x2;
inline constexpr uint32_t VCenter = 0x4;
inline constexpr uint32_t Bottom = 0x8;
inline constexpr uint32_t AlignMask = 0xF;
inline constexpr uint32_t SingleLine = 0x20;  // a line feed counts as a space
inline constexpr uint32_t NoClip = 0x100;     // clip to the bitmap, not the rectangle
inline constexpr uint32_t CalcRect = 0x400;   // measure only
inline constexpr uint32_t NoPrefix = 0x800;
// Opacity times the text colour's alpha / 255; never the system's engine.
inline constexpr uint32_t OpacityFromAlpha = 0x40000000;
inline constexpr uint32_t NoSystem = 0x80000000;  // never the system's engine
}  // namespace RText

// Font flags of SetFont.
// Not in use: kept in its documented place; nothing in the product calls it.
// The editor opens its fonts with OwnsFont and PreferSystem only.
//   QuarterTurn, CounterClockwise, AsciiOnly: turned text, ASCII-only caches
//   Soften, Invert, Monochrome, Shadow, Outline: the glyph effects
//   SetOutlineColour, SetBackgroundColour, SetBackgroundMode
//   SetBlend, GetTextColour, GetFontHandle, GetLineHeight
namespace RFontFlag {
inline constexpr int32_t QuarterTurn = 0x1;  // vertical text; lines advance in x
inline constexpr int32_t CounterClockwise = 0x2;
inline constexpr int32_t AsciiOnly = 0x4;  // codes 0-127 rendered at SetFont, no others
inline constexpr int32_t Soften = 0x10;
inline constexpr int32_t Invert = 0x20;
inline constexpr int32_t Monochrome = 0x40;  // coverage above 130 is ink, the rest nothing
inline constexpr int32_t Shadow = 0x80;      // monochrome plus a 128 shadow below and right
inline constexpr int32_t Outline = 0x100;    // monochrome plus a 128 outline (unless Shadow)
inline constexpr int32_t OwnsFont = 0x200;   // the font closes its handle when replaced
inline constexpr int32_t PreferSystem = 0x400;
// Any of these keeps text on the glyph path.
inline constexpr int32_t GlyphEffects = 0x1F7;
}  // namespace RFontFlag

class RFont {
 public:
  virtual ~RFont() = default;

  virtual bool SetFont(RFontHandle font, int32_t flags) = 0;
  // Colours are pixel words 0xAARRGGBB; each setter returns the previous.
  virtual uint32_t SetTextColour(uint32_t colour) = 0;
  virtual uint32_t SetBackgroundColour(uint32_t colour) = 0;
  virtual uint32_t SetOutlineColour(uint32_t colour) = 0;
  // 1 transparent, 2 opaque (each glyph's cell is filled first).
  virtual int32_t SetBackgroundMode(int32_t mode) = 0;
  virtual void SetBlend(RBlendMode mode, float opacity) = 0;
  // UTF-8 text of length bytes (0 or less: up to the terminating zero) into
  // rect with RText flags; returns the text height (0 when nothing drawn).
  virtual int32_t DrawText(RBitmap* bitmap, const char* text, int32_t length, RRect* rect,
                           uint32_t flags) = 0;
  virtual uint32_t GetTextColour() = 0;
  virtual RFontHandle GetFontHandle() = 0;
  virtual int32_t GetLineHeight() = 0;

 protected:
  RFont() = default;
  RFont(const RFont&) = delete;
  RFont& operator=(const RFont&) = delete;
};
