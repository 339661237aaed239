#include "framework/IGrowableBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

IBufferAllocator& CurrentAllocator() {
  static IBufferAllocator allocator{
      [](void* block, size_t bytes) { return std::realloc(block, bytes); },
      [](size_t bytes) { return std::malloc(bytes); }, [](void* block) { std::free(block); }};
  return allocator;
}

constexpr int64_t kPage = 4096;
constexpr int64_t kMaxGrowthStep = 4194304;
// Kept below each page multiple for the heap's own bookkeeping, so large
// buffers occupy whole pages.
constexpr int64_t kHeapOverhead = 96;

}  // namespace

IGrowableBuffer::IGrowableBuffer(int32_t growthStep) : granularity(growthStep) {}

IGrowableBuffer::~IGrowableBuffer() {
  if (data) CurrentAllocator().release(data);
}

IBufferAllocator IGrowableBuffer::SetAllocatorForTesting(const IBufferAllocator& allocator) {
  IBufferAllocator previous = CurrentAllocator();
  CurrentAllocator() = allocator;
  return previous;
}

int32_t IGrowableBuffer::AllocationFor(int32_t requested) const {
  if (requested <= 0) return 0;
  const int64_t half = requested / 2;
  int64_t total;
  if (granularity < 4096) {
    total = requested + std::max<int64_t>(half, granularity);
  } else {
    int64_t step = std::max<int64_t>(half, granularity) / kPage * kPage;
    step = std::clamp(step, kPage, kMaxGrowthStep);
    total = (requested + step + kHeapOverhead) / kPage * kPage - kHeapOverhead;
  }
  // A request near 2 GiB cannot be honoured in a 32-bit size; treat it as an
  // allocation failure rather than wrapping around.
  return total > INT32_MAX ? -1 : static_cast<int32_t>(total);
}

uint8_t* IGrowableBuffer::Resize(int32_t newSize, bool allowShrink) {
  if (newSize < 0) newSize = 0;
  if (newSize == size && (!allowShrink || newSize >= allocated / 2)) {
    return size != 0 ? data : nullptr;
  }

  int32_t shrinkBelow = 0;
  if (allowShrink && newSize < size) {
    shrinkBelow = std::max(1, std::min(allocated / 2, allocated - 4 * granularity));
  }

  if (newSize > allocated || newSize < shrinkBelow) {
    const int32_t target = AllocationFor(newSize);
    if (target < 0) return size != 0 ? data : nullptr;
    if (target != allocated) {
      if (target == 0) {
        CurrentAllocator().release(data);
        data = nullptr;
        allocated = 0;
        size = 0;
        return nullptr;
      }
      auto* grown =
          static_cast<uint8_t*>(CurrentAllocator().reallocate(data, static_cast<size_t>(target)));
      if (!grown) {
        grown = static_cast<uint8_t*>(CurrentAllocator().allocate(static_cast<size_t>(target)));
        if (!grown) return size != 0 ? data : nullptr;
        if (data) {
          std::memcpy(grown, data, static_cast<size_t>(std::min(size, newSize)));
          CurrentAllocator().release(data);
        }
      }
      data = grown;
      allocated = target;
    }
  }
  size = newSize;
  return size != 0 ? data : nullptr;
}

bool IGrowableBuffer::Append(const void* bytes, int32_t count) {
  if (count <= 0) return true;
  const int32_t oldSize = size;
  if (count > INT32_MAX - oldSize) return false;
  Resize(oldSize + count, false);
  if (size != oldSize + count) return false;
  std::memcpy(data + oldSize, bytes, static_cast<size_t>(count));
  return true;
}
