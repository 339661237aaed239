// A bitmap's pixel geometry read once per drawing call, so inner loops make
// no virtual calls. Rows follow the bitmap's top-down or bottom-up order.
#pragma once

#include "raster/RBitmap.h"

#include <cstddef>
#include <cstdint>

struct RPixelView {
  uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t span = 0;
  bool bottomUp = false;

  static RPixelView Of(RBitmap* bitmap) {
    RPixelView view;
    if (!bitmap) return view;
    view.pixels = bitmap->Pixels();
    view.width = bitmap->Width();
    view.height = bitmap->Height();
    view.span = bitmap->RowSpan();
    view.bottomUp = bitmap->IsBottomUp();
    return view;
  }

  // Nothing to draw into or from: no pixels, no area, or rows that would
  // overlap each other.
  bool Usable() const { return pixels && width > 0 && height > 0 && span >= width; }

  uint32_t* Row(int32_t y) const {
    const int32_t memoryRow = bottomUp ? height - 1 - y : y;
    return pixels + static_cast<ptrdiff_t>(memoryRow) * span;
  }

  bool Contains(int32_t x, int32_t y) const {
    return static_cast<uint32_t>(x) < static_cast<uint32_t>(width) &&
           static_cast<uint32_t>(y) < static_cast<uint32_t>(height);
  }
};
