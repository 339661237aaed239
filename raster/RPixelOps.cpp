#include "raster/RPixelOps.h"

#include <algorithm>

namespace RPixel {
namespace {

// R[0] = 0, R[i] = 65536 / i - 1: divisions by the value and the span become
// multiplications.
struct ReciprocalTable {
  int32_t entry[256];
  constexpr ReciprocalTable() : entry() {
    for (int32_t i = 1; i < 256; ++i) entry[i] = 65536 / i - 1;
  }
};
constexpr ReciprocalTable kReciprocal;

struct HueSatValueColour {
  int32_t hue;
  int32_t saturation;
  int32_t value;
};

// Hue on a circle of 384 steps, six sectors of 64.
HueSatValueColour ToHueSatValue(int32_t r, int32_t g, int32_t b) {
  int32_t value, minimum, base, difference;
  if (g > r) {
    if (g > b) {
      value = g, minimum = std::min(b, r), base = 128, difference = b - r;
    } else {
      value = b, minimum = r, base = 256, difference = r - g;
    }
  } else if (r > b) {
    if (g >= b) {
      value = r, minimum = b, base = 0, difference = g - b;
    } else {
      value = r, minimum = g, base = 383, difference = g - b;
    }
  } else {
    value = b, minimum = std::min(r, g), base = 256, difference = r - g;
  }
  const int32_t span = value - minimum;
  return {base + difference * (kReciprocal.entry[span] + 1) / 1024,
          kReciprocal.entry[value] * span / 256, value};
}

uint32_t FromHueSatValue(int32_t alpha, const HueSatValueColour& c) {
  const int32_t h = c.hue, s = c.saturation, v = c.value;
  const int32_t lo = (256 - s) * v / 256;
  if (h < 64) return Pack(alpha, v, v * (16384 - s * (64 - h)) / 16384, lo);
  if (h < 128) return Pack(alpha, v * (16384 + s * (64 - h)) / 16384, v, lo);
  if (h < 192) return Pack(alpha, lo, v, v * (16384 - s * (192 - h)) / 16384);
  if (h < 256) return Pack(alpha, lo, v * (16384 + s * (192 - h)) / 16384, v);
  if (h < 320) return Pack(alpha, v * (16384 - s * (320 - h)) / 16384, lo, v);
  return Pack(alpha, v, lo, v * (16384 + s * (320 - h)) / 16384);
}

}  // namespace

void HueSatValueWeighted(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
  const uint32_t x = *d;
  HueSatValueColour c = ToHueSatValue(Red(x), Green(x), Blue(x));
  // A source red of 128 keeps the hue; 0 and 255 turn it about half a circle.
  c.hue += w * (r + r / 2 - 192) / 256;
  if (c.hue < 0) {
    c.hue += 384;
  } else if (c.hue >= 384) {
    c.hue -= 384;
  }
  c.saturation = Clamp(c.saturation + w * (g - 128) / 128);
  c.value = Clamp(c.value + w * (b - 128) / 128);
  *d = FromHueSatValue(a, c);
}

}  // namespace RPixel

RPixelOp Raster_PixelOp(RBlendMode mode) {
  RPixelOp op = nullptr;
  Raster_WithPixelOp(mode, [&]<typename Op>() { op = &Op::Apply; });
  return op;
}
