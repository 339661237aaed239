// An editor bitmap handle: the bitmap (owned by the process-wide bitmap
// cache), its full size and how many equal frames it holds. Whether frames
// are stacked vertically or side by side is chosen at each draw.
#pragma once

#include <cstdint>

class RBitmap;

struct IBitmapStrip {
  RBitmap* bitmap = nullptr;
  int32_t W = 0;
  int32_t H = 0;
  int32_t frames = 1;

  // Never below 1, so frame arithmetic cannot divide by zero.
  int32_t FrameCount() const { return frames > 1 ? frames : 1; }
};
