// Both channels of a frame in the two lanes of one SSE2 register: lane 0
// left, lane 1 right. Every operation of the formulas runs in its written
// order on each lane, and each packed operation rounds exactly as its scalar
// form, so the lanes reproduce the scalar reference. The silence test stays
// per lane; a frame where only one lane is silent computes both and keeps the
// silent lane's state and a zero output.
#include "effect/TwoBandFrames.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include <cfloat>

namespace {

struct BandLanes {
  __m128d drivePlusOne, drive, gain, oneMinusRound, round;
};

struct ConstantLanes {
  __m128d coefIn, coefB1, coefB2, dry, wet;
  BandLanes low, high;
};

struct StateLanes {
  __m128d filterZ2, filterZ1, smoothLow, smoothHigh;
};

BandLanes Spread(const BandConstants& c) {
  return {_mm_set1_pd(c.drivePlusOne), _mm_set1_pd(c.drive), _mm_set1_pd(c.gain),
          _mm_set1_pd(c.oneMinusRound), _mm_set1_pd(c.round)};
}

inline __m128d Pair(double left, double right) { return _mm_set_pd(right, left); }
inline __m128d Abs(__m128d v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
inline __m128d Select(__m128d mask, __m128d ifSet, __m128d ifClear) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, ifClear));
}

inline __m128d ShapeBand(__m128d band, const BandLanes& c, __m128d& smooth) {
  const __m128d one = _mm_set1_pd(1.0);
  __m128d s =
      _mm_div_pd(_mm_mul_pd(c.drivePlusOne, band), _mm_add_pd(_mm_mul_pd(Abs(band), c.drive), one));
  s = _mm_add_pd(_mm_mul_pd(_mm_mul_pd(s, c.gain), c.oneMinusRound), _mm_mul_pd(c.round, smooth));
  smooth = s;
  return s;
}

// Denormal input. A multiplication with a denormal operand costs this
// machine some sixty times an ordinary one; additions and comparisons do
// not. The input meets two multiplications, v = x coefIn - t and
// out = dry x + w, and with |x| < 2^-1022 and |coefIn|, |dry| <= 1 each
// product p has |p| <= 2^-1022. Where the other term (t or w) has magnitude
// at least 2^-967, a quarter of its spacing is at least 2^-1021 > |p|, so
// p - t rounds to -t and p + w to w exactly: p cannot change the result,
// and a zero in its place gives the same bits (0 - t = -t, 0 + w = w, t and
// w being non-zero). The guarded loop therefore multiplies by zero in lanes
// with denormal input, and recomputes with the true product in the rare lane
// whose t or w is smaller than that.
constexpr double kNegligibleBelow = 0x1p-967;

inline __m128d DenormalLanes(__m128d x) {
  const __m128d magnitude = Abs(x);
  return _mm_and_pd(_mm_cmplt_pd(magnitude, _mm_set1_pd(DBL_MIN)),
                    _mm_cmpgt_pd(magnitude, _mm_setzero_pd()));
}

// x times a factor, then combined with a term by op, where the term is large
// enough for the product of a denormal x not to matter.
template <bool Guarded, typename Combine>
inline __m128d WithNegligibleDenormals(__m128d x, __m128d factor, __m128d term, __m128d denormal,
                                       Combine combine) {
  if constexpr (!Guarded) {
    return combine(_mm_mul_pd(x, factor), term);
  } else {
    const __m128d result = combine(_mm_mul_pd(_mm_andnot_pd(denormal, x), factor), term);
    const __m128d unsafe =
        _mm_and_pd(denormal, _mm_cmplt_pd(Abs(term), _mm_set1_pd(kNegligibleBelow)));
    if (_mm_movemask_pd(unsafe) == 0) return result;
    return Select(unsafe, combine(_mm_mul_pd(x, factor), term), result);
  }
}

// One frame of both lanes; in a guarded loop, denormal marks the lanes whose
// input is denormal (and not silent).
template <bool Guarded>
inline __m128d ProcessFrame(__m128d x, const ConstantLanes& c, StateLanes& s, __m128d denormal) {
  const __m128d t = _mm_add_pd(_mm_mul_pd(s.filterZ2, c.coefB2), _mm_mul_pd(s.filterZ1, c.coefB1));
  const __m128d v = WithNegligibleDenormals<Guarded>(
      x, c.coefIn, t, denormal, [](__m128d p, __m128d q) { return _mm_sub_pd(p, q); });
  const __m128d low =
      _mm_add_pd(_mm_add_pd(_mm_mul_pd(s.filterZ1, _mm_set1_pd(2.0)), v), s.filterZ2);
  s.filterZ2 = s.filterZ1;
  s.filterZ1 = v;
  const __m128d high = _mm_sub_pd(x, low);
  const __m128d yL = ShapeBand(low, c.low, s.smoothLow);
  const __m128d yH = ShapeBand(high, c.high, s.smoothHigh);
  const __m128d wet = _mm_mul_pd(c.wet, _mm_add_pd(yH, yL));
  return WithNegligibleDenormals<Guarded>(x, c.dry, wet, denormal,
                                          [](__m128d p, __m128d q) { return _mm_add_pd(p, q); });
}

// Frames whose inputs are all louder than the silence threshold can never be
// silent, whatever the state: they skip the test.
void RunLoudFrames(const StereoFrames& f, const ConstantLanes& c, StateLanes& s) {
  for (int32_t i = 0; i < f.count; ++i) {
    const __m128d x = _mm_loadh_pd(_mm_load_sd(f.inLeft + i), f.inRight + i);
    const __m128d out = ProcessFrame<false>(x, c, s, _mm_setzero_pd());
    _mm_storel_pd(f.outLeft + i, out);
    _mm_storeh_pd(f.outRight + i, out);
  }
}

template <bool Guarded>
void RunTestedFrames(const StereoFrames& f, const ConstantLanes& c, StateLanes& s) {
  const __m128d silence = _mm_set1_pd(kSilence);
  for (int32_t i = 0; i < f.count; ++i) {
    const __m128d x = _mm_loadh_pd(_mm_load_sd(f.inLeft + i), f.inRight + i);
    const __m128d quiet = _mm_and_pd(
        _mm_and_pd(_mm_cmple_pd(Abs(x), silence), _mm_cmple_pd(Abs(s.filterZ1), silence)),
        _mm_cmple_pd(Abs(s.filterZ2), silence));
    const __m128d denormal = Guarded ? _mm_andnot_pd(quiet, DenormalLanes(x)) : _mm_setzero_pd();
    __m128d out;
    switch (_mm_movemask_pd(quiet)) {
      case 0:
        out = ProcessFrame<Guarded>(x, c, s, denormal);
        break;
      case 3:
        out = _mm_setzero_pd();
        break;
      default: {
        StateLanes next = s;
        out = _mm_andnot_pd(quiet, ProcessFrame<Guarded>(x, c, next, denormal));
        s = {Select(quiet, s.filterZ2, next.filterZ2), Select(quiet, s.filterZ1, next.filterZ1),
             Select(quiet, s.smoothLow, next.smoothLow),
             Select(quiet, s.smoothHigh, next.smoothHigh)};
      }
    }
    _mm_storel_pd(f.outLeft + i, out);
    _mm_storeh_pd(f.outRight + i, out);
  }
}

// What the inputs of a block hold: samples the silence test could pass, and
// denormal samples among them.
struct InputKinds {
  bool quiet = false;
  bool denormal = false;
};

void Survey(const double* samples, int32_t count, InputKinds& kinds) {
  const __m128d silence = _mm_set1_pd(kSilence);
  __m128d quiet = _mm_setzero_pd(), denormal = _mm_setzero_pd();
  const auto take = [&](__m128d x) {
    quiet = _mm_or_pd(quiet, _mm_cmple_pd(Abs(x), silence));
    denormal = _mm_or_pd(denormal, DenormalLanes(x));
  };
  int32_t i = 0;
  for (; i + 2 <= count; i += 2) take(_mm_loadu_pd(samples + i));
  if (i < count) take(_mm_set1_pd(samples[i]));
  kinds.quiet = kinds.quiet || _mm_movemask_pd(quiet) != 0;
  kinds.denormal = kinds.denormal || _mm_movemask_pd(denormal) != 0;
}

}  // namespace

void ProcessFramesSse2(const StereoFrames& f, const BlockConstants& c, ChannelState& left,
                       ChannelState& right) {
  // The lanes read a frame's right input before writing its left output; the
  // scalar order differs only when those are the same array.
  if (f.outLeft == f.inRight) {
    ProcessFramesScalar(f, c, left, right);
    return;
  }
  const ConstantLanes lanes{_mm_set1_pd(c.coefIn), _mm_set1_pd(c.coefB1), _mm_set1_pd(c.coefB2),
                            _mm_set1_pd(c.dry),    _mm_set1_pd(c.wet),    Spread(c.low),
                            Spread(c.high)};
  StateLanes s{Pair(left.filterZ2, right.filterZ2), Pair(left.filterZ1, right.filterZ1),
               Pair(left.smoothLow, right.smoothLow), Pair(left.smoothHigh, right.smoothHigh)};
  InputKinds kinds;
  Survey(f.inLeft, f.count, kinds);
  Survey(f.inRight, f.count, kinds);
  // The guard's bounds need |coefIn| and |dry| at most 1, which every
  // setting gives; anything else runs unguarded, exact but slower.
  const bool guardable = c.coefIn >= -1.0 && c.coefIn <= 1.0 && c.dry >= -1.0 && c.dry <= 1.0;
  if (!kinds.quiet) {
    RunLoudFrames(f, lanes, s);
  } else if (kinds.denormal && guardable) {
    RunTestedFrames<true>(f, lanes, s);
  } else {
    RunTestedFrames<false>(f, lanes, s);
  }
  const auto lane = [](__m128d v, int index) {
    double both[2];
    _mm_storeu_pd(both, v);
    return both[index];
  };
  for (int index = 0; index < 2; ++index) {
    ChannelState& channel = index == 0 ? left : right;
    channel = {lane(s.filterZ2, index), lane(s.filterZ1, index), lane(s.smoothLow, index),
               lane(s.smoothHigh, index)};
  }
}

#else

void ProcessFramesSse2(const StereoFrames& f, const BlockConstants& c, ChannelState& left,
                       ChannelState& right) {
  ProcessFramesScalar(f, c, left, right);
}

#endif
