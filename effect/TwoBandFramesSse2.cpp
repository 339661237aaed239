// The SSE2 unit: both channels of a frame in the two lanes of an SSE2
// register, each band shaped on its own pair of lanes.
#include "effect/TwoBandFrames.h"

#if defined(__SSE2__)

#include "effect/TwoBandFrameLanes.h"

namespace {

struct PairedBands {
  struct State {
    __m128d smoothLow, smoothHigh;
  };

  BandLanes low, high;

  explicit PairedBands(const BlockConstants& c) : low(c.low), high(c.high) {}

  // yH + yL
  __m128d Shape(__m128d lowBand, __m128d highBand, State& s) const {
    const __m128d yL = low.Shape(lowBand, s.smoothLow);
    const __m128d yH = high.Shape(highBand, s.smoothHigh);
    return _mm_add_pd(yH, yL);
  }

  static State LoadState(const ChannelState& left, const ChannelState& right) {
    return {Pair(left.smoothLow, right.smoothLow), Pair(left.smoothHigh, right.smoothHigh)};
  }
  static void StoreState(const State& s, ChannelState& left, ChannelState& right) {
    left.smoothLow = Lane(s.smoothLow, 0), right.smoothLow = Lane(s.smoothLow, 1);
    left.smoothHigh = Lane(s.smoothHigh, 0), right.smoothHigh = Lane(s.smoothHigh, 1);
  }
  static State SelectState(__m128d mask, const State& a, const State& b) {
    return {Select(mask, a.smoothLow, b.smoothLow), Select(mask, a.smoothHigh, b.smoothHigh)};
  }
};

}  // namespace

void ProcessFramesSse2(const StereoFrames& f, const BlockConstants& c, ChannelState& left,
                       ChannelState& right) {
  ProcessFramesOnLanes<PairedBands>(f, c, left, right);
}

#else

void ProcessFramesSse2(const StereoFrames& f, const BlockConstants& c, ChannelState& left,
                       ChannelState& right) {
  ProcessFramesScalar(f, c, left, right);
}

#endif
