// The AVX unit: the frame on two lanes as in the SSE2 unit, with both bands
// of both channels shaped in one four-lane register (low left, low right,
// high left, high right), which halves the shaper's operations. Compiled
// with AVX enabled and installed only where the processor has it.
#include "effect/TwoBandFrames.h"

#if defined(__AVX__)

#include <immintrin.h>

#include "effect/TwoBandFrameLanes.h"

namespace {

inline __m256d LowThenHigh(double low, double high) { return _mm256_set_pd(high, high, low, low); }

struct WideBands {
  struct State {
    __m256d smooth;
  };

  __m256d drivePlusOne, drive, gain, oneMinusRound, round;

  explicit WideBands(const BlockConstants& c)
      : drivePlusOne(LowThenHigh(c.low.drivePlusOne, c.high.drivePlusOne)),
        drive(LowThenHigh(c.low.drive, c.high.drive)),
        gain(LowThenHigh(c.low.gain, c.high.gain)),
        oneMinusRound(LowThenHigh(c.low.oneMinusRound, c.high.oneMinusRound)),
        round(LowThenHigh(c.low.round, c.high.round)) {}

  // yH + yL
  __m128d Shape(__m128d lowBand, __m128d highBand, State& s) const {
    const __m256d band = _mm256_insertf128_pd(_mm256_castpd128_pd256(lowBand), highBand, 1);
    const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), band);
    __m256d y = _mm256_div_pd(_mm256_mul_pd(drivePlusOne, band),
                              _mm256_add_pd(_mm256_mul_pd(magnitude, drive), _mm256_set1_pd(1.0)));
    y = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(y, gain), oneMinusRound),
                      _mm256_mul_pd(round, s.smooth));
    s.smooth = y;
    return _mm_add_pd(_mm256_extractf128_pd(y, 1), _mm256_castpd256_pd128(y));
  }

  static State LoadState(const ChannelState& left, const ChannelState& right) {
    return {_mm256_set_pd(right.smoothHigh, left.smoothHigh, right.smoothLow, left.smoothLow)};
  }
  static void StoreState(const State& s, ChannelState& left, ChannelState& right) {
    double lanes[4];
    _mm256_storeu_pd(lanes, s.smooth);
    left.smoothLow = lanes[0], right.smoothLow = lanes[1];
    left.smoothHigh = lanes[2], right.smoothHigh = lanes[3];
  }
  static State SelectState(__m128d mask, const State& a, const State& b) {
    const __m256d wide = _mm256_insertf128_pd(_mm256_castpd128_pd256(mask), mask, 1);
    return {_mm256_blendv_pd(b.smooth, a.smooth, wide)};
  }
};

void ProcessFramesAvx(const StereoFrames& f, const BlockConstants& c, ChannelState& left,
                      ChannelState& right) {
  ProcessFramesOnLanes<WideBands>(f, c, left, right);
}

}  // namespace

void InstallAvxFrameLoop(TwoBandFrameLoop& table) { table = ProcessFramesAvx; }

#else

void InstallAvxFrameLoop(TwoBandFrameLoop&) {}

#endif
