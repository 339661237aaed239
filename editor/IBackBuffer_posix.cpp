#include "editor/IBackBuffer.h"

#include <new>

#include "raster/RMemBitmap.h"

RBitmap* NewBackBuffer(int32_t width, int32_t height) {
  return new (std::nothrow) RMemBitmap(width, height, 4);
}
