#include "raster/RGlyphShape.h"

#include <cstddef>

namespace {

constexpr uint8_t kInk = 255;
constexpr uint8_t kEdge = 128;

size_t At(int32_t width, int32_t row, int32_t column) {
  return static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column);
}

}  // namespace

void Raster_TurnCoverage(const uint8_t* src, int32_t width, int32_t height, bool counterClockwise,
                         uint8_t* dst) {
  // The turned bitmap has width rows of height columns.
  for (int32_t i = 0; i < width; ++i) {
    for (int32_t j = 0; j < height; ++j) {
      dst[At(height, i, j)] =
          counterClockwise ? src[At(width, j, width - 1 - i)] : src[At(width, height - 1 - j, i)];
    }
  }
}

void Raster_ThresholdCoverage(uint8_t* coverage, int32_t width, int32_t height) {
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) coverage[i] = coverage[i] > 130 ? kInk : 0;
}

// A shadow pixel written earlier in the scan is 128, not ink, so the shadow
// stays one pixel wide.
void Raster_AddCoverageShadow(uint8_t* coverage, int32_t width, int32_t height) {
  const auto ink = [&](int32_t row, int32_t column) {
    return row >= 0 && column >= 0 && coverage[At(width, row, column)] == kInk;
  };
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t& pixel = coverage[At(width, y, x)];
      if (pixel == 0 && (ink(y, x - 1) || ink(y - 1, x - 1) || ink(y - 1, x))) pixel = kEdge;
    }
  }
}

void Raster_AddCoverageOutline(uint8_t* coverage, int32_t width, int32_t height) {
  const auto ink = [&](int32_t row, int32_t column) {
    return row >= 0 && row < height && column >= 0 && column < width &&
           coverage[At(width, row, column)] == kInk;
  };
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t& pixel = coverage[At(width, y, x)];
      if (pixel == 0 && (ink(y - 1, x) || ink(y + 1, x) || ink(y, x - 1) || ink(y, x + 1)))
        pixel = kEdge;
    }
  }
}
