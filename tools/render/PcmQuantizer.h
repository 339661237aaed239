// Samples to integer PCM, rounded or dithered.
#pragma once

#include <cstdint>

namespace render {

// Turns samples into `bits`-bit PCM (8 to 32 bits): scaled so that -1 is the
// lowest step, rounded to the nearest step, clipped to full scale. With
// dither (meant for 16 bits and fewer), triangular (TPDF) noise of one step
// either way goes in before the rounding, so a quiet tail becomes the signal
// in a steady hiss instead of a square wave. Results are left-justified in 32
// bits, the way libsndfile takes integer samples for every PCM width. The
// noise sequence is fixed, so equal renders give equal files.
class PcmQuantizer {
 public:
  PcmQuantizer(int bits, bool dither);

  int32_t Quantize(double sample);
  bool Dithers() const { return dither_; }

 private:
  double NextUniform();  // [0, 1)

  double scale_;  // steps per unit of full scale
  int shift_;     // from the grid of `bits` bits to 32 bits
  bool dither_;
  uint64_t state_ = 0x853C49E6748FEA9Bull;
};

}  // namespace render
