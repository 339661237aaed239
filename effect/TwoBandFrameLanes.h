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
#if defined(__AVX__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

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
// below 2^-1022 (a run of frames with no other input reuses the products of
// zero), and recomputes the frame with the true products in the rare lane
// whose t or w is smaller than 2^-967.
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

  // One frame of both lanes from the input's two products, x coefIn and
  // dry x, formed by the caller. t and w are handed out for the guard.
  __m128d FrameWith(__m128d x, __m128d inProduct, __m128d dryProduct, State& s, __m128d& t,
                    __m128d& w) const {
    t = _mm_add_pd(_mm_mul_pd(s.filterZ2, coefB2), _mm_mul_pd(s.filterZ1, coefB1));
    const __m128d v = _mm_sub_pd(inProduct, t);
    const __m128d low =
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(s.filterZ1, _mm_set1_pd(2.0)), v), s.filterZ2);
    s.filterZ2 = s.filterZ1;
    s.filterZ1 = v;
    const __m128d high = _mm_sub_pd(x, low);
    w = _mm_mul_pd(wet, bands.Shape(low, high, s.smooth));
    return _mm_add_pd(dryProduct, w);
  }

  // The products formed with xp: x itself, or x with negligible lanes zeroed.
  __m128d Frame(__m128d x, __m128d xp, State& s, __m128d& t, __m128d& w) const {
    return FrameWith(x, _mm_mul_pd(xp, coefIn), _mm_mul_pd(dry, xp), s, t, w);
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
void RunLoudFrames(const StereoFrames& frames, const Lanes& c, typename Lanes::State& state) {
  const StereoFrames f = frames;
  typename Lanes::State s = state;
  for (int32_t i = 0; i < f.count; ++i) {
    const __m128d out = c.Frame(_mm_loadh_pd(_mm_load_sd(f.inLeft + i), f.inRight + i), s);
    _mm_storel_pd(f.outLeft + i, out);
    _mm_storeh_pd(f.outRight + i, out);
  }
  state = s;
}

// Frames tested one by one, the way the scalar loop runs them. Guarded
// frames keep tiny inputs out of the products and recompute the frame with
// the true products where t or w is too small to hide them.
template <bool Guarded, typename Lanes>
void RunTestedFrames(const __m128d* xs, double* outLeft, double* outRight, int32_t count,
                     const Lanes& c, typename Lanes::State& state) {
  typename Lanes::State s = state;
  const __m128d silence = _mm_set1_pd(kSilence), all = _mm_castsi128_pd(_mm_set1_epi32(-1));
  const auto frame = [&](__m128d x, __m128d live, typename Lanes::State& lanes) {
    __m128d t, w;
    if constexpr (!Guarded) return c.Frame(x, x, lanes, t, w);
    const __m128d tiny = _mm_and_pd(live, TinyLanes(x));
    const typename Lanes::State before = lanes;
    const __m128d out = c.Frame(x, _mm_andnot_pd(tiny, x), lanes, t, w);
    const __m128d small = _mm_cmplt_pd(_mm_min_pd(Abs(t), Abs(w)), _mm_set1_pd(kNegligibleBelow));
    if (_mm_movemask_pd(_mm_and_pd(tiny, small)) == 0) return out;
    lanes = before;
    return c.Frame(x, x, lanes, t, w);
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
  state = s;
}

// The smallest |v| of a chunk's frames and, where the chunk is guarded, the
// smallest |out|, per lane. A NaN never enters a minimum: minpd returns its
// second operand, the minimum so far, when either is NaN. The checks run on
// every frame, where the frame loop pays for each operation (the two for
// |out| cost 16 ns per 64-frame denormal block): with AVX both pairs share
// one register, one magnitude and one minimum a frame, which took 3 ns off
// a 64-frame block and 46 ns off a 512-frame one.
template <bool WithOutput>
struct RunningMinima {
  __m128d v = _mm_set1_pd(1.0);
  void Add(__m128d filterZ1, __m128d) { v = _mm_min_pd(Abs(filterZ1), v); }
  __m128d V() const { return v; }
  __m128d Out() const { return _mm_set1_pd(1.0); }
};

template <>
struct RunningMinima<true> {
#if defined(__AVX__)
  __m256d both = _mm256_set1_pd(1.0);  // |v| in the lower half, |out| in the upper
  void Add(__m128d filterZ1, __m128d out) {
    const __m256d pair = _mm256_insertf128_pd(_mm256_castpd128_pd256(filterZ1), out, 1);
    both = _mm256_min_pd(_mm256_andnot_pd(_mm256_set1_pd(-0.0), pair), both);
  }
  __m128d V() const { return _mm256_castpd256_pd128(both); }
  __m128d Out() const { return _mm256_extractf128_pd(both, 1); }
#else
  __m128d v = _mm_set1_pd(1.0), out = _mm_set1_pd(1.0);
  void Add(__m128d filterZ1, __m128d frameOut) {
    v = _mm_min_pd(Abs(filterZ1), v);
    out = _mm_min_pd(Abs(frameOut), out);
  }
  __m128d V() const { return v; }
  __m128d Out() const { return out; }
#endif
};

// Blocks with quiet input run in chunks, each first computed as if no frame
// were silent and no tiny product mattered, with the tests gathered on the
// side, away from the filter's feedback chain. A frame can only be silent
// where the previous one left |v| <= 1e-15, and a tiny lane's t equals -v
// there, so no such v anywhere means no silent frame and no t too small. In
// a tiny lane the output is w itself (0 + w = w for w != 0), so an output of
// at least 2^-967 everywhere covers w. A chunk that fails (the last frames of
// a decay, or digital silence) is computed again, frame by frame, from its
// saved state and inputs. The frames read the inputs in place: keeping them
// aside costs a store and a load per frame, which showed as some 5 % of a
// denormal block. Where every input is tiny the output stored is w itself,
// the sum's exact value once the test passes: an addition less per frame.
template <bool Guarded, bool AllTiny, typename Lanes, typename Products>
bool SpeculateChunk(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                    int32_t count, const Lanes& c, typename Lanes::State& s, Products products) {
  RunningMinima<Guarded> smallest;
  for (int32_t j = 0; j < count; ++j) {
    const __m128d x = _mm_loadh_pd(_mm_load_sd(inLeft + j), inRight + j);
    __m128d inProduct, dryProduct, t, w;
    products(x, inProduct, dryProduct);
    const __m128d sum = c.FrameWith(x, inProduct, dryProduct, s, t, w);
    const __m128d out = AllTiny ? w : sum;
    smallest.Add(s.filterZ1, out);
    _mm_storel_pd(outLeft + j, out);
    _mm_storeh_pd(outRight + j, out);
  }
  const __m128d silent = _mm_cmple_pd(smallest.V(), _mm_set1_pd(kSilence));
  const __m128d outSmall = _mm_cmplt_pd(smallest.Out(), _mm_set1_pd(kNegligibleBelow));
  return _mm_movemask_pd(_mm_or_pd(silent, outSmall)) == 0;
}

// What a chunk's inputs hold. The bits of all of them or-ed together tell
// most chunks apart: no bit but signs means zeros only, no exponent bit means
// nothing but zeros and numbers below the normal range.
enum class ChunkInputs { Ordinary, SomeTiny, AllTiny };

template <typename Step>
__m128d Accumulate(const double* samples, int32_t count, __m128d sum, Step step) {
  int32_t i = 0;
  for (; i + 2 <= count; i += 2) sum = _mm_or_pd(sum, step(_mm_loadu_pd(samples + i)));
  if (i < count) sum = _mm_or_pd(sum, step(_mm_load_sd(samples + i)));
  return sum;
}

inline bool NoBitsOf(__m128d v, int64_t mask) {
  const __m128d masked = _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(mask)));
  return _mm_movemask_pd(_mm_cmpeq_pd(masked, _mm_setzero_pd())) == 3;
}

// The bits of both channels' samples, each passed through step, or-ed
// together, four samples an operation where the unit has AVX: the tests run
// once a chunk, and their operations compete with the frames' for the same
// ports. (The tiny-sample test at two samples an operation cost 5 ns more
// per 64-frame denormal block.)
template <typename Step>
inline __m128d BitsOfBoth(const double* inLeft, const double* inRight, int32_t count, Step step) {
  int32_t i = 0;
  __m128d all = _mm_setzero_pd();
#if defined(__AVX__)
  __m256d wide = _mm256_setzero_pd();
  for (; i + 4 <= count; i += 4) {
    wide = _mm256_or_pd(wide, step(_mm256_loadu_pd(inLeft + i)));
    wide = _mm256_or_pd(wide, step(_mm256_loadu_pd(inRight + i)));
  }
  all = _mm_or_pd(_mm256_castpd256_pd128(wide), _mm256_extractf128_pd(wide, 1));
#endif
  return Accumulate(inRight + i, count - i, Accumulate(inLeft + i, count - i, all, step), step);
}

// The sample where it is below the normal range, zero elsewhere.
inline __m128d TinyBits(__m128d x) { return _mm_and_pd(TinyLanes(x), x); }
#if defined(__AVX__)
inline __m256d TinyBits(__m256d x) {
  const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
  return _mm256_and_pd(_mm256_cmp_pd(magnitude, _mm256_set1_pd(DBL_MIN), _CMP_LT_OS), x);
}
#endif

inline ChunkInputs ClassifyChunk(const double* inLeft, const double* inRight, int32_t count) {
  const __m128d all = BitsOfBoth(inLeft, inRight, count, [](auto x) { return x; });
  if (NoBitsOf(all, INT64_MAX)) return ChunkInputs::Ordinary;
  if (NoBitsOf(all, 0x7FF0000000000000)) return ChunkInputs::AllTiny;
  const __m128d any = BitsOfBoth(inLeft, inRight, count, [](auto x) { return TinyBits(x); });
  return NoBitsOf(any, INT64_MAX) ? ChunkInputs::Ordinary : ChunkInputs::SomeTiny;
}

inline void KeepInputs(__m128d* xs, const double* inLeft, const double* inRight, int32_t count) {
  for (int32_t j = 0; j < count; ++j) xs[j] = _mm_loadh_pd(_mm_load_sd(inLeft + j), inRight + j);
}

inline bool Overlap(const double* a, const double* b, int32_t count) {
  const auto start = [](const double* p) { return reinterpret_cast<uintptr_t>(p); };
  const uintptr_t bytes = static_cast<uintptr_t>(count) * sizeof(double);
  return start(a) < start(b) + bytes && start(b) < start(a) + bytes;
}

template <bool Guarded, typename Lanes>
void RunQuietBlock(const StereoFrames& frames, const Lanes& c, typename Lanes::State& state) {
  const StereoFrames f = frames;
  typename Lanes::State s = state;
  constexpr int32_t kChunk = 16;
  const __m128d zero = _mm_setzero_pd();
  const __m128d zeroIn = _mm_mul_pd(zero, c.coefIn), zeroDry = _mm_mul_pd(c.dry, zero);
  // An output over an input overwrites samples that a failed chunk needs
  // again: those are kept aside first.
  const bool keep =
      Overlap(f.outLeft, f.inLeft, f.count) || Overlap(f.outRight, f.inLeft, f.count) ||
      Overlap(f.outRight, f.inRight, f.count) || Overlap(f.outLeft, f.inRight, f.count);
  __m128d xs[kChunk];
  for (int32_t start = 0; start < f.count; start += kChunk) {
    const int32_t n = f.count - start < kChunk ? f.count - start : kChunk;
    const double* inLeft = f.inLeft + start;
    const double* inRight = f.inRight + start;
    double* outLeft = f.outLeft + start;
    double* outRight = f.outRight + start;
    if (keep) KeepInputs(xs, inLeft, inRight, n);
    // Only chunks with a sample below the normal range other than zero need
    // the guard.
    const ChunkInputs kind = Guarded ? ClassifyChunk(inLeft, inRight, n) : ChunkInputs::Ordinary;
    const bool guarded = kind != ChunkInputs::Ordinary;
    // Both lanes' last state loud: the first two frames cannot be silent.
    if (_mm_movemask_pd(_mm_cmple_pd(Abs(s.filterZ1), _mm_set1_pd(kSilence))) == 0) {
      const typename Lanes::State before = s;
      bool passed;
      const auto speculate = [&](auto guard, auto products) {
        return SpeculateChunk<decltype(guard)::value, false>(inLeft, inRight, outLeft, outRight, n,
                                                             c, s, products);
      };
      if (kind == ChunkInputs::AllTiny) {
        passed = SpeculateChunk<true, true>(
            inLeft, inRight, outLeft, outRight, n, c, s,
            [&](__m128d, __m128d& in, __m128d& d) { in = zeroIn, d = zeroDry; });
      } else if (guarded) {
        passed = speculate(std::true_type{}, [&](__m128d x, __m128d& in, __m128d& d) {
          const __m128d xp = _mm_andnot_pd(TinyLanes(x), x);
          in = _mm_mul_pd(xp, c.coefIn), d = _mm_mul_pd(c.dry, xp);
        });
      } else {
        passed = speculate(std::false_type{}, [&](__m128d x, __m128d& in, __m128d& d) {
          in = _mm_mul_pd(x, c.coefIn), d = _mm_mul_pd(c.dry, x);
        });
      }
      if (passed) continue;
      s = before;
    }
    if (!keep) KeepInputs(xs, inLeft, inRight, n);
    if (guarded) {
      RunTestedFrames<true>(xs, outLeft, outRight, n, c, s);
    } else {
      RunTestedFrames<false>(xs, outLeft, outRight, n, c, s);
    }
  }
  state = s;
}

// The smallest |sample| of a block (NaN samples do not count), the one pass
// that decides whether any frame may meet the silence test. Four running
// minima keep the pass off the latency of minpd. A block with a sample below
// the normal range among its first eight takes the guarded path whatever the
// rest holds, so the pass stops there and returns a magnitude that decides
// the same: a block in a decay into tiny samples skips the rest of the pass
// (10 to 14 ns of a 64-frame block with one ordinary frame, 110 to 140 ns of
// a 512-frame one; ordinary blocks pay one test).
inline double SmallestMagnitude(const double* samples, int32_t count) {
  __m128d m0 = _mm_set1_pd(1.0), m1 = m0, m2 = m0, m3 = m0;
  const auto addEight = [&](const double* eight) {
    m0 = _mm_min_pd(Abs(_mm_loadu_pd(eight)), m0);
    m1 = _mm_min_pd(Abs(_mm_loadu_pd(eight + 2)), m1);
    m2 = _mm_min_pd(Abs(_mm_loadu_pd(eight + 4)), m2);
    m3 = _mm_min_pd(Abs(_mm_loadu_pd(eight + 6)), m3);
  };
  const auto smallest = [&] {
    const __m128d m = _mm_min_pd(_mm_min_pd(m0, m1), _mm_min_pd(m2, m3));
    return _mm_cvtsd_f64(_mm_min_sd(m, _mm_unpackhi_pd(m, m)));
  };
  int32_t i = 0;
  if (count >= 8) {
    addEight(samples);
    if (const double first = smallest(); first < DBL_MIN) return first;
    i = 8;
  }
  for (; i + 8 <= count; i += 8) addEight(samples + i);
  for (; i < count; ++i) m0 = _mm_min_pd(Abs(_mm_set1_pd(samples[i])), m0);
  return smallest();
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
  double smallest = SmallestMagnitude(f.inLeft, f.count);
  if (!(smallest < DBL_MIN)) smallest = std::min(smallest, SmallestMagnitude(f.inRight, f.count));
  // The guard's bounds need |coefIn| and |dry| at most 1, which every
  // setting gives; anything else runs unguarded, exact but slower. Nor does
  // a block need it whose every input is in the normal range.
  const bool guardable = c.coefIn >= -1.0 && c.coefIn <= 1.0 && c.dry >= -1.0 && c.dry <= 1.0;
  if (!(smallest <= kSilence)) {
    RunLoudFrames(f, lanes, s);
  } else if (guardable && smallest < DBL_MIN) {
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
