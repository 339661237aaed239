// libFuzzer target: the PNG memory loader must be safe on any bytes, into a
// new bitmap and into a caller's target, and leave every pixel readable.
#include "raster/RMemBitmap.h"
#include "raster/RPixelView.h"
#include "raster/RPngLoader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// Reads every pixel so the sanitizer sees any row that was not allocated.
uint32_t Checksum(RBitmap* bitmap) {
  const RPixelView view = RPixelView::Of(bitmap);
  uint32_t sum = 0;
  for (int32_t y = 0; y < view.height; ++y) {
    for (int32_t x = 0; x < view.width; ++x) sum += view.Row(y)[x];
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<RBitmap> created(Raster_LoadPngMemory(data, size, nullptr));
  volatile uint32_t sink = created ? Checksum(created.get()) : 0;
  RMemBitmap target(3, 2, 4);
  if (Raster_LoadPngMemory(data, size, &target)) sink = sink + Checksum(&target);
  (void)sink;
  return 0;
}
