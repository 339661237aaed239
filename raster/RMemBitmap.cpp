#include "raster/RMemBitmap.h"

#include <cstdlib>

namespace {

// Room in front of the aligned start, so Pixels can be 64-byte aligned.
constexpr int64_t kAlignSlack = 63;
// Largest byte count a 32-bit capacity (plus the slack) can describe.
constexpr int64_t kMaxBytes = INT32_MAX - kAlignSlack;

// Rows align to a power of two pixels; above 16 pixels (the 64-byte start)
// a larger alignment gains nothing, so it is capped there.
int32_t AlignMaskFor(int32_t alignment) {
  if (alignment == 0 || alignment == 1) return 0;
  const uint32_t bits = static_cast<uint32_t>(alignment);
  uint32_t lowest = bits & (0u - bits);
  if (lowest > 16) lowest = 16;
  return static_cast<int32_t>(lowest) - 1;
}

}  // namespace

RMemBitmap::RMemBitmap(int32_t w, int32_t h, int32_t alignment)
    : alignMask(AlignMaskFor(alignment)) {
  if (w > 0 && h > 0) Resize(w, h);
}

RMemBitmap::~RMemBitmap() { ReleaseBlock(); }

void RMemBitmap::ReleaseBlock() {
  std::free(block);
  block = nullptr;
  capacity = 0;
}

uint32_t* RMemBitmap::Pixels() {
  if (!block) return nullptr;
  const uintptr_t start =
      (reinterpret_cast<uintptr_t>(block) + kAlignSlack) & ~static_cast<uintptr_t>(kAlignSlack);
  return reinterpret_cast<uint32_t*>(start);
}

int32_t RMemBitmap::RowSpan() {
  return static_cast<int32_t>((static_cast<int64_t>(width) + alignMask) &
                              ~static_cast<int64_t>(alignMask));
}

bool RMemBitmap::Resize(int32_t newWidth, int32_t newHeight) {
  if (newWidth == width && newHeight == height) return false;
  width = newWidth;
  height = newHeight;
  // 64-bit, so a huge size cannot wrap to a small block that callers then
  // overrun; a size beyond the 32-bit capacity is refused like a failed
  // allocation.
  const int64_t span =
      (static_cast<int64_t>(newWidth) + alignMask) & ~static_cast<int64_t>(alignMask);
  const int64_t bytes = static_cast<int64_t>(newHeight) * span * 4;
  if (bytes > 0 && bytes <= kMaxBytes && newWidth > 0 && newHeight > 0) {
    if (!block) {
      capacity = static_cast<int32_t>(bytes);
      block = std::malloc(static_cast<size_t>(bytes + kAlignSlack));
    } else if (capacity < bytes) {
      // 25 % headroom for the next growth.
      int64_t grown = (bytes / 4) * 5;
      if (grown > kMaxBytes) grown = kMaxBytes;
      void* moved = std::realloc(block, static_cast<size_t>(grown + kAlignSlack));
      if (moved) {
        block = moved;
        capacity = static_cast<int32_t>(grown);
      } else {
        std::free(block);
        capacity = static_cast<int32_t>(bytes);
        block = std::malloc(static_cast<size_t>(bytes + kAlignSlack));
      }
    }
  } else {
    ReleaseBlock();
  }
  if (!block) {
    capacity = 0;
    width = 0;
    height = 0;
  }
  return true;
}
