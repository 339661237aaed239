// How a text is drawn; copied by value into every control that draws text.
#pragma once

#include <cstdint>

#include "editor/IRgba.h"

class RCachedFont;

struct ITextStyle {
  static constexpr int32_t kFontNameCapacity = 32;  // 31 characters and the NUL

  enum Align : int32_t { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };

  char font[kFontNameCapacity] = {};
  int32_t size = 0;  // character height in pixels
  IRgba colour;
  int32_t style = 0;  // bit 0 bold, bit 1 italic
  int32_t align = AlignLeft;
  int32_t orientation = 0;  // degrees
  int32_t quality = 0;      // 0 default, 2 antialiased, 3 ClearType, other non-antialiased
  // Found by the first text drawn with this style; the process-wide font
  // cache owns it.
  RCachedFont* cachedFont = nullptr;
};
