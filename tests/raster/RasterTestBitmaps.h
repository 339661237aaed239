// Small helpers shared by the raster tests.
#pragma once

#include "raster/RMemBitmap.h"
#include "raster/RPixelView.h"

#include <cstdint>
#include <memory>
#include <vector>

inline std::unique_ptr<RMemBitmap> FilledBitmap(int32_t width, int32_t height, uint32_t colour) {
  auto bitmap = std::make_unique<RMemBitmap>(width, height, 4);
  const RPixelView view = RPixelView::Of(bitmap.get());
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) view.Row(y)[x] = colour;
  }
  return bitmap;
}

inline uint32_t PixelAt(RBitmap& bitmap, int32_t x, int32_t y) {
  return RPixelView::Of(&bitmap).Row(y)[x];
}

inline void SetPixel(RBitmap& bitmap, int32_t x, int32_t y, uint32_t colour) {
  RPixelView::Of(&bitmap).Row(y)[x] = colour;
}

// Every pixel, row by row, for comparing whole images.
inline std::vector<uint32_t> AllPixels(RBitmap& bitmap) {
  std::vector<uint32_t> pixels;
  const RPixelView view = RPixelView::Of(&bitmap);
  for (int32_t y = 0; y < view.height; ++y)
    pixels.insert(pixels.end(), view.Row(y), view.Row(y) + view.width);
  return pixels;
}

struct PixelPosition {
  int32_t x, y;
  bool operator==(const PixelPosition&) const = default;
  bool operator<(const PixelPosition& o) const { return y != o.y ? y < o.y : x < o.x; }
};

// Positions whose pixel differs from background, in row order.
inline std::vector<PixelPosition> ChangedPixels(RBitmap& bitmap, uint32_t background) {
  std::vector<PixelPosition> changed;
  const RPixelView view = RPixelView::Of(&bitmap);
  for (int32_t y = 0; y < view.height; ++y) {
    for (int32_t x = 0; x < view.width; ++x) {
      if (view.Row(y)[x] != background) changed.push_back({x, y});
    }
  }
  return changed;
}
