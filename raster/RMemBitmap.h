// A bitmap whose pixels live in a heap block: the start aligned to 64 bytes,
// rows aligned to a power-of-two number of pixels.
#pragma once

#include "raster/RBitmap.h"

class RMemBitmap : public RBitmap {
 public:
  // alignment is in pixels (every caller passes 4). Both sizes > 0 allocate
  // at once; otherwise the bitmap starts empty.
  RMemBitmap(int32_t width, int32_t height, int32_t alignment);
  ~RMemBitmap() override;

  uint32_t* Pixels() override;
  int32_t Width() override { return width; }
  int32_t Height() override { return height; }
  int32_t RowSpan() override;
  // Grows with 25 % headroom and never shrinks the block. A size whose byte
  // count does not fit the 32-bit capacity fails like an allocation failure:
  // the bitmap becomes empty and the call still returns true.
  bool Resize(int32_t newWidth, int32_t newHeight) override;

  // Bytes usable from the aligned start.
  int32_t Capacity() const { return capacity; }

 private:
  void ReleaseBlock();

  void* block = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t capacity = 0;
  int32_t alignMask = 0;
};
