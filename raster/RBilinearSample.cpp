#include "raster/RBilinearSample.h"

namespace {

// The source's sizes and row step keep positions and offsets of the
// interpolated area within 32 bits.
bool FitsThirtyTwoBits(const RSampleSource& src) {
  const int64_t rowStep = src.rowStep < 0 ? -src.rowStep : src.rowStep;
  return src.width < 32768 && src.height < 32768 && rowStep * src.height < (1 << 30);
}

}  // namespace

bool Raster_BilinearWalkRuns(const RSampleSource& src, int64_t x, int64_t y, int64_t stepX,
                             int64_t stepY, int32_t count, RWalkRuns& runs) {
  constexpr int64_t kFar = int64_t{1} << 46;
  const auto far = [](int64_t v) { return v <= -kFar || v >= kFar; };
  if (!FitsThirtyTwoBits(src) || far(x) || far(y) || far(stepX) || far(stepY)) return false;
  const auto within = [&](int32_t width, int32_t height) {
    const RIndexRun across = Raster_IndexRunWithin(x, stepX, int64_t{width} << 16, count);
    const RIndexRun down = Raster_IndexRunWithin(y, stepY, int64_t{height} << 16, count);
    const int32_t first = std::max(across.first, down.first);
    const int32_t last = std::min(across.last, down.last);
    return first < last ? RIndexRun{first, last} : RIndexRun{};
  };
  runs = {within(src.width, src.height), within(src.width - 1, src.height - 1)};
  return true;
}
