#include "raster/RLine.h"

#include "platform/SaturatingConversions.h"

namespace {

constexpr int kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8;
// Each pass moves one end onto a border; a segment still not inside after
// this many tests is dropped.
constexpr int kMaxTests = 33;

int OutCode(int32_t x, int32_t y, int32_t width, int32_t height) {
  int code = x < 0 ? kLeft : (x >= width ? kRight : 0);
  code |= y < 0 ? kAbove : (y >= height ? kBelow : 0);
  return code;
}

int32_t Offset(int32_t base, double offset) {
  return SaturateToInt32(int64_t{base} + TruncateToInt32(offset));
}

}  // namespace

bool Raster_ClipLine(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t width,
                     int32_t height) {
  int code1 = OutCode(x1, y1, width, height), code2 = OutCode(x2, y2, width, height);
  for (int test = 0; test < kMaxTests; ++test) {
    if ((code1 | code2) == 0) return true;
    if ((code1 & code2) != 0) return false;
    const bool moveFirst = code1 != 0;
    const int code = moveFirst ? code1 : code2;
    const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
    int32_t x, y;
    if (code & kBelow) {
      x = Offset(x1, dx * (static_cast<double>(height) - y1) / dy), y = height - 1;
    } else if (code & kAbove) {
      x = Offset(x1, -(dx * y1 / dy)), y = 0;
    } else if (code & kRight) {
      x = width - 1, y = Offset(y1, dy * (static_cast<double>(width) - x1) / dx);
    } else {
      x = 0, y = Offset(y1, -(dy * x1 / dx));
    }
    if (moveFirst) {
      x1 = x, y1 = y, code1 = OutCode(x, y, width, height);
    } else {
      x2 = x, y2 = y, code2 = OutCode(x, y, width, height);
    }
  }
  return false;
}
