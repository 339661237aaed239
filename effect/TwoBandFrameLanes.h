// The frame loop on two lanes (lane 0 left, lane 1 right), written once for
// the instruction-set units that include it. Each unit compiles it for its
// own instruction set, so everything here has internal linkage: no unit may
// pick up another's code. The unit supplies the band shaper, the one part
// where a wider register pays.
//
// Every operation of the formulas runs in its written order on each lane, and
// each packed operation rounds exactly as its scalar form, so the lanes
// reproduce the scalar reference. The silence test stays per lane; a frame
// where only one lane is silent computes both and keeps the silent lane's
// state and a zero output.
#pragma once

#include <emmintrin.h>

#include <cfloat>
#include <initializer_list>

#include "effect/TwoBandFrames.h"

namespace {

inline __m128d Abs(__m128d v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
inline __m128d Select(__m128d mask, __m128d ifSet, __m128d ifClear) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, ifClear));
}
inline __m128d Pair(double left, double right) { return _mm_set_pd(right, left); }
inline double Lane(__m128d v, int index) {
  double both[2];
  _mm_storeu_pd(both, v);
  return both[index];
}

// The shaper of one band on two lanes: (k + 1) band / (|band| k + 1), then
// scaled and smoothed.
struct BandLanes {
  __m128d drivePlusOne, drive, gain, oneMinusRound, round;

  explicit BandLanes(const BandConstants& c)
      : drivePlusOne(_mm_set1_pd(c.drivePlusOne)),
        drive(_mm_set1_pd(c.drive)),
        gain(_mm_set1_pd(c.gain)),
        oneMinusRound(_mm_set1_pd(c.oneMinusRound)),
        round(_mm_set1_pd(c.round)) {}

  __m128d Shape(__m128d band, __m128d& smooth) const {
    __m128d s = _mm_div_pd(_mm_mul_pd(drivePlusOne, band),
                           _mm_add_pd(_mm_mul_pd(Abs(band), drive), _mm_set1_pd(1.0)));
    s = _mm_add_pd(_mm_mul_pd(_mm_mul_pd(s, gain), oneMinusRound), _mm_mul_pd(round, smooth));
    smooth = s;
    return s;
  }
};

// Denormal input. A multiplication with a denormal operand costs this
// machine some sixty times an ordinary one; additions and comparisons do
// not. The input meets two multiplications, v = x coefIn - t and
// out = dry x + w, and with |x| < 2^-1022 and |coefIn|, |dry| <= 1 each
// product p has |p| <= 2^-1022. Where the other term (t or w) has magnitude
// at least 2^-967, a quarter of its spacing is at least 2^-1021 > |p|, so
// p - t rounds to -t and p + w to w exactly: p cannot change the result,
// and a zero in its place gives the same bits (0 - t = -t and 0 + w = w, t
// and w being non-zero; the sign of a zero product does not matter either).
// The guarded loop therefore multiplies by zero in lanes whose input is
// below 2^-1022, and recomputes the frame with the true products in the rare
// lane whose t or w is smaller than 2^-967.
constexpr double kNegligibleBelow = 0x1p-967;

inline __m128d TinyLanes(__m128d x) { return _mm_cmplt_pd(Abs(x), _mm_set1_pd(DBL_MIN)); }

template <typename Bands>
struct FrameLanes {
  struct State {
    __m128d filterZ2, filterZ1;
    typename Bands::State smooth;
  };

  __m128d coefIn, coefB1, coefB2, dry, wet;
  Bands bands;

  explicit FrameLanes(const BlockConstants& c)
      : coefIn(_mm_set1_pd(c.coefIn)),
        coefB1(_mm_set1_pd(c.coefB1)),
        coefB2(_mm_set1_pd(c.coefB2)),
        dry(_mm_set1_pd(c.dry)),
        wet(_mm_set1_pd(c.wet)),
        bands(c) {}

  // One frame of both lanes with the input xp in the two products (x itself,
  // or x with negligible lanes zeroed). t and w are handed out for the guard.
  __m128d Frame(__m128d x, __m128d xp, State& s, __m128d& t, __m128d& w) const {
    t = _mm_add_pd(_mm_mul_pd(s.filterZ2, coefB2), _mm_mul_pd(s.filterZ1, coefB1));
    const __m128d v = _mm_sub_pd(_mm_mul_pd(xp, coefIn), t);
    const __m128d low =
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(s.filterZ1, _mm_set1_pd(2.0)), v), s.filterZ2);
    s.filterZ2 = s.filterZ1;
    s.filterZ1 = v;
    const __m128d high = _mm_sub_pd(x, low);
    w = _mm_mul_pd(wet, bands.Shape(low, high, s.smooth));
    return _mm_add_pd(_mm_mul_pd(dry, xp), w);
  }

  __m128d Frame(__m128d x, State& s) const {
    __m128d t, w;
    return Frame(x, x, s, t, w);
  }

  State SelectState(__m128d mask, const State& a, const State& b) const {
    return {Select(mask, a.filterZ2, b.filterZ2), Select(mask, a.filterZ1, b.filterZ1),
            Bands::SelectState(mask, a.smooth, b.smooth)};
  }
};

// Frames whose inputs are all louder than the silence threshold can never be
// silent, whatever the state: they skip the test.
template <typename Lanes>
void RunLoudFrames(const StereoFrames& f, const Lanes& c, typename Lanes::State& s) {
  for (int32_t i = 0; i < f.count; ++i) {
    const __m128d out = c.Frame(_mm_loadh_pd(_mm_load_sd(f.inLeft + i), f.inRight + i), s);
    _mm_storel_pd(f.outLeft + i, out);
    _mm_storeh_pd(f.outRight + i, out);
  }
}

// Frames tested one by one, the way the scalar loop runs them. Guarded
// frames keep tiny inputs out of the products and recompute the frame with
// the true products where t or w is too small to hide them.
template <bool Guarded, typename Lanes>
void RunTestedFrames(const __m128d* xs, double* outLeft, double* outRight, int32_t count,
                     const Lanes& c, typename Lanes::State& s) {
  const __m128d silence = _mm_set1_pd(kSilence), all = _mm_castsi128_pd(_mm_set1_epi32(-1));
  const auto frame = [&](__m128d x, __m128d live, typename Lanes::State& state) {
    __m128d t, w;
    if constexpr (!Guarded) return c.Frame(x, x, state, t, w);
    const __m128d tiny = _mm_and_pd(live, TinyLanes(x));
    const typename Lanes::State before = state;
    const __m128d out = c.Frame(x, _mm_andnot_pd(tiny, x), state, t, w);
    const __m128d small = _mm_cmplt_pd(_mm_min_pd(Abs(t), Abs(w)), _mm_set1_pd(kNegligibleBelow));
    if (_mm_movemask_pd(_mm_and_pd(tiny, small)) == 0) return out;
    state = before;
    return c.Frame(x, x, state, t, w);
  };
  for (int32_t i = 0; i < count; ++i) {
    const __m128d x = xs[i];
    const __m128d quiet = _mm_and_pd(
        _mm_and_pd(_mm_cmple_pd(Abs(x), silence), _mm_cmple_pd(Abs(s.filterZ1), silence)),
        _mm_cmple_pd(Abs(s.filterZ2), silence));
    __m128d out;
    switch (_mm_movemask_pd(quiet)) {
      case 0:
        out = frame(x, all, s);
        break;
      case 3:
        out = _mm_setzero_pd();
        break;
      default: {
        typename Lanes::State next = s;
        const __m128d live = _mm_xor_pd(quiet, all);
        out = _mm_and_pd(live, frame(x, live, next));
        s = c.SelectState(quiet, s, next);
      }
    }
    _mm_storel_pd(outLeft + i, out);
    _mm_storeh_pd(outRight + i, out);
  }
}

// Blocks with quiet input run in chunks, each first computed as if no frame
// were silent and no tiny product mattered, with the tests gathered on the
// side, away from the filter's feedback chain. A frame can only be silent
// where the previous one left |v| <= 1e-15, and a tiny lane's t equals -v
// there, so no such v anywhere means no silent frame and no t too small; w
// is checked in the tiny lanes. A chunk that fails (the last frames of a
// decay, or digital silence) is computed again, frame by frame, from its
// saved state and inputs.
template <bool Guarded, typename Lanes>
void RunQuietBlock(const StereoFrames& f, const Lanes& c, typename Lanes::State& s) {
  constexpr int32_t kChunk = 16;
  const __m128d silence = _mm_set1_pd(kSilence);
  __m128d xs[kChunk];
  for (int32_t start = 0; start < f.count; start += kChunk) {
    const int32_t n = f.count - start < kChunk ? f.count - start : kChunk;
    for (int32_t j = 0; j < n; ++j)
      xs[j] = _mm_loadh_pd(_mm_load_sd(f.inLeft + start + j), f.inRight + start + j);
    double* outLeft = f.outLeft + start;
    double* outRight = f.outRight + start;
    // Both lanes' last state loud: the first two frames cannot be silent.
    if (_mm_movemask_pd(_mm_cmple_pd(Abs(s.filterZ1), silence)) == 0) {
      const typename Lanes::State before = s;
      __m128d failed = _mm_setzero_pd();
      for (int32_t j = 0; j < n; ++j) {
        const __m128d x = xs[j];
        __m128d t, w;
        const __m128d out = c.Frame(x, Guarded ? _mm_andnot_pd(TinyLanes(x), x) : x, s, t, w);
        failed = _mm_or_pd(failed, _mm_cmple_pd(Abs(s.filterZ1), silence));
        if constexpr (Guarded) {
          const __m128d wSmall = _mm_cmplt_pd(Abs(w), _mm_set1_pd(kNegligibleBelow));
          failed = _mm_or_pd(failed, _mm_and_pd(TinyLanes(x), wSmall));
        }
        _mm_storel_pd(outLeft + j, out);
        _mm_storeh_pd(outRight + j, out);
      }
      if (_mm_movemask_pd(failed) == 0) continue;
      s = before;
    }
    RunTestedFrames<Guarded>(xs, outLeft, outRight, n, c, s);
  }
}

// What the inputs of a block hold: samples the silence test could pass, and
// samples below the normal range among them.
struct InputKinds {
  bool quiet = false;
  bool tiny = false;
};

inline void Survey(const double* samples, int32_t count, InputKinds& kinds) {
  const __m128d silence = _mm_set1_pd(kSilence);
  __m128d quiet = _mm_setzero_pd(), tiny = _mm_setzero_pd();
  const auto take = [&](__m128d x) {
    quiet = _mm_or_pd(quiet, _mm_cmple_pd(Abs(x), silence));
    tiny = _mm_or_pd(tiny, _mm_and_pd(TinyLanes(x), _mm_cmpneq_pd(x, _mm_setzero_pd())));
  };
  int32_t i = 0;
  for (; i + 2 <= count; i += 2) take(_mm_loadu_pd(samples + i));
  if (i < count) take(_mm_set1_pd(samples[i]));
  kinds.quiet = kinds.quiet || _mm_movemask_pd(quiet) != 0;
  kinds.tiny = kinds.tiny || _mm_movemask_pd(tiny) != 0;
}

// The whole block: the lanes read a frame's right input before writing its
// left output, which the scalar order does only differently when those are
// the same array.
template <typename Bands>
void ProcessFramesOnLanes(const StereoFrames& f, const BlockConstants& c, ChannelState& left,
                          ChannelState& right) {
  if (f.outLeft == f.inRight) {
    ProcessFramesScalar(f, c, left, right);
    return;
  }
  using Lanes = FrameLanes<Bands>;
  const Lanes lanes(c);
  typename Lanes::State s{Pair(left.filterZ2, right.filterZ2), Pair(left.filterZ1, right.filterZ1),
                          Bands::LoadState(left, right)};
  InputKinds kinds;
  Survey(f.inLeft, f.count, kinds);
  Survey(f.inRight, f.count, kinds);
  // The guard's bounds need |coefIn| and |dry| at most 1, which every
  // setting gives; anything else runs unguarded, exact but slower.
  const bool guardable = c.coefIn >= -1.0 && c.coefIn <= 1.0 && c.dry >= -1.0 && c.dry <= 1.0;
  if (!kinds.quiet) {
    RunLoudFrames(f, lanes, s);
  } else if (kinds.tiny && guardable) {
    RunQuietBlock<true>(f, lanes, s);
  } else {
    RunQuietBlock<false>(f, lanes, s);
  }
  for (int index = 0; index < 2; ++index) {
    ChannelState& channel = index == 0 ? left : right;
    channel.filterZ2 = Lane(s.filterZ2, index);
    channel.filterZ1 = Lane(s.filterZ1, index);
  }
  Bands::StoreState(s.smooth, left, right);
}

}  // namespace
