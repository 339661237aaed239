// The one heap buffer under every list, chunk, scratch buffer and string.
// A single Resize operation with a fixed growth and shrink rule keeps the
// number of reallocations logarithmic for appends and lets an emptied buffer
// give its memory back.
#pragma once

#include <cstddef>
#include <cstdint>

// Storage hooks so tests can simulate an exhausted heap. The defaults forward
// to realloc/malloc/free.
struct IBufferAllocator {
  void* (*reallocate)(void* block, size_t bytes);
  void* (*allocate)(size_t bytes);
  void (*release)(void* block);
};

class IGrowableBuffer {
 public:
  explicit IGrowableBuffer(int32_t growthStep = 4096);
  ~IGrowableBuffer();

  IGrowableBuffer(const IGrowableBuffer&) = delete;
  IGrowableBuffer& operator=(const IGrowableBuffer&) = delete;

  // Returns the data, or null when the used size is 0 afterwards. On an
  // allocation failure the old storage and size stay; callers compare Size()
  // with what they asked for.
  uint8_t* Resize(int32_t newSize, bool allowShrink);

  uint8_t* Data() const { return data; }
  int32_t Size() const { return size; }
  int32_t Allocated() const { return allocated; }

  // Appends bytes after the used size; false (and nothing appended) when the
  // buffer cannot grow.
  bool Append(const void* bytes, int32_t count);

  // Swaps the process-wide allocator; returns the previous one. Test-only.
  static IBufferAllocator SetAllocatorForTesting(const IBufferAllocator& allocator);

 private:
  int32_t AllocationFor(int32_t requested) const;

  uint8_t* data = nullptr;
  int32_t allocated = 0;
  int32_t size = 0;
  int32_t granularity;
};
