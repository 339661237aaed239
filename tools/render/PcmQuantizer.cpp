#include "tools/render/PcmQuantizer.h"

#include <algorithm>
#include <cmath>

namespace render {

PcmQuantizer::PcmQuantizer(int bits, bool dither)
    : scale_(std::ldexp(1.0, bits - 1)), shift_(32 - bits), dither_(dither) {}

double PcmQuantizer::NextUniform() {
  // xorshift64*: plenty for noise, and the same on every machine.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return static_cast<double>((state_ * 0x2545F4914F6CDD1Dull) >> 11) * 0x1.0p-53;
}

int32_t PcmQuantizer::Quantize(double sample) {
  double scaled = sample * scale_;
  if (dither_) {
    scaled += NextUniform() - NextUniform();  // triangular on (-1, 1) steps
  }
  const double step = std::clamp(std::floor(scaled + 0.5), -scale_, scale_ - 1.0);
  // Shifting as unsigned: a negative value's bits move the same way.
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(step)) << shift_);
}

}  // namespace render
