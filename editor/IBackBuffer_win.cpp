#include "editor/IBackBuffer.h"

#include <new>

#include "raster/RSysBitmap.h"

RBitmap* NewBackBuffer(int32_t width, int32_t height) {
  return new (std::nothrow) RSysBitmap(width, height);
}
