// The AVX-512 unit of the row loops: bilinear sampling and its fused alpha
// blend, sixteen samples per step, with masked loads and stores for the last
// group of a run instead of a tail loop; the other rows are the AVX2 unit's.
// Compiled with AVX-512 F, BW and VNNI enabled and installed only where the
// processor has them.
#include "raster/RPixelRows.h"

#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VNNI__)

// GCC 12's AVX-512 intrinsics start from a deliberately undefined register,
// which its own uninitialised-use warning then reports at every call.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include "raster/RBilinearGroups.h"

namespace {

// (s k + x (256 - k) + (x < s ? 255 : 0)) >> 8, as the SSE2 unit derives it;
// the compare gives a mask, so the rounding term is a masked add.
inline __m512i Interpolate(__m512i x, __m512i s, __m512i k) {
  const __m512i keep = _mm512_sub_epi16(_mm512_set1_epi16(256), k);
  const __m512i sum = _mm512_add_epi16(_mm512_mullo_epi16(s, k), _mm512_mullo_epi16(x, keep));
  const __m512i rounded =
      _mm512_mask_add_epi16(sum, _mm512_cmpgt_epi16_mask(s, x), sum, _mm512_set1_epi16(255));
  return _mm512_srli_epi16(rounded, 8);
}

inline __m512i Low16(__m512i v) { return _mm512_unpacklo_epi8(v, _mm512_setzero_si512()); }
inline __m512i High16(__m512i v) { return _mm512_unpackhi_epi8(v, _mm512_setzero_si512()); }

inline __m512i InEveryLane(__m128i v) { return _mm512_broadcast_i32x4(v); }

inline __m512i AlphaBytes() { return _mm512_set1_epi32(static_cast<int>(0xFF000000u)); }
constexpr __mmask64 kAlphaByteMask = 0x8888888888888888u;

// k = w (sa + 1) / 256; at full weight sa + 1, and 0 for sa = 0.
template <bool Full>
inline __m512i AlphaWeights(__m512i s16, __m512i w16) {
  const __m512i sa = _mm512_shuffle_epi8(
      s16, InEveryLane(_mm_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15)));
  const __m512i one = _mm512_set1_epi16(1);
  if constexpr (Full) return _mm512_add_epi16(sa, _mm512_min_epi16(sa, one));
  return _mm512_srli_epi16(_mm512_mullo_epi16(_mm512_add_epi16(sa, one), w16), 8);
}

// RPixel::CopyAlpha of sixteen source pixels s (sLo and sHi their Low16 and
// High16) over x.
template <bool Full>
inline __m512i AlphaBlendSixteen(__m512i s, __m512i sLo, __m512i sHi, __m512i x, __m512i w16) {
  const __m512i kLo = AlphaWeights<Full>(sLo, w16), kHi = AlphaWeights<Full>(sHi, w16);
  const __m512i colour =
      _mm512_packus_epi16(Interpolate(Low16(x), sLo, kLo), Interpolate(High16(x), sHi, kHi));
  const __m512i gained = Full ? s : _mm512_packus_epi16(kLo, kHi);
  return _mm512_mask_blend_epi8(kAlphaByteMask, colour, _mm512_adds_epu8(x, gained));
}

// The lanes of a group of up to sixteen.
inline __mmask16 LanesBelow(int32_t n) {
  return static_cast<__mmask16>(n >= 16 ? 0xFFFF : (1u << n) - 1);
}

// Bilinear sampling, sixteen samples per step, by RBilinear::MaddWeights as
// in the AVX2 unit: register K holds samples K, K + 4, K + 8 and K + 12, one
// per 128-bit lane, so that the packs leave sixteen samples in order. One
// gather fetches a register's eight neighbour pairs, and vpdpwssd adds the
// second pmaddwd's products to the first's.
// (Measured on a 256 x 256 rotation: the gathers took 28 % off the fused
// blend against the same groups assembled from masked 64-bit broadcast
// loads, which had been slower than the AVX2 unit's broadcasts and blends:
// at 512 bits the merges share two ports, at 256 bits three. Lanes ordered
// so that two gathers per set took the offsets without a permute, and an
// unpack paired top and bottom, measured 2 % slower.)
class BilinearSixteen {
 public:
  static constexpr int32_t kLanes = 16;

  BilinearSixteen(const RSampleSource& src, int64_t stepX, int64_t stepY, int32_t w)
      : top_(src.origin),
        rowStep_(_mm512_set1_epi32(static_cast<int32_t>(src.rowStep))),
        laneStepX_(LaneSteps(stepX)),
        laneStepY_(LaneSteps(stepY)),
        belowStep_(
            _mm256_blend_epi32(_mm256_setzero_si256(), _mm512_castsi512_si256(rowStep_), 0xAA)),
        w16_(_mm512_set1_epi16(static_cast<int16_t>(w))) {}

  // The groups the shared walk (raster/RBilinearGroups.h) asks for, the
  // last one by masked loads and stores.
  void Span(uint32_t* out, int64_t x, int64_t y, int32_t lanes) const {
    const __mmask16 used = LanesBelow(lanes);
    __m512i lo, hi;
    Sample(x, y, used, lo, hi);
    _mm512_mask_storeu_epi32(out, used, _mm512_packus_epi16(lo, hi));
  }

  template <bool Full>
  void AlphaBlend(uint32_t* dst, int64_t x, int64_t y, int32_t lanes) const {
    const __mmask16 used = LanesBelow(lanes);
    __m512i lo, hi;
    Sample(x, y, used, lo, hi);
    const __m512i s = _mm512_packus_epi16(lo, hi);
    if (_mm512_test_epi32_mask(s, AlphaBytes()) == 0) return;
    if (Full &&
        _mm512_cmpeq_epi32_mask(_mm512_and_si512(s, AlphaBytes()), AlphaBytes()) == 0xFFFF) {
      _mm512_mask_storeu_epi32(dst, used, s);
      return;
    }
    const __m512i under = _mm512_maskz_loadu_epi32(used, dst);
    _mm512_mask_storeu_epi32(dst, used, AlphaBlendSixteen<Full>(s, lo, hi, under, w16_));
  }

  // Samples at (x, y) + i (stepX, stepY) for the lanes i in used, all in the
  // interpolated area, as 16-bit channels: the Low16 and High16 halves of
  // the sixteen samples. The other lanes sample (x, y) again.
  void Sample(int64_t x, int64_t y, __mmask16 used, __m512i& lo, __m512i& hi) const {
    const __m512i x0 = _mm512_set1_epi32(static_cast<int32_t>(x));
    const __m512i y0 = _mm512_set1_epi32(static_cast<int32_t>(y));
    const __m512i xs = _mm512_mask_add_epi32(x0, used, x0, laneStepX_);
    const __m512i ys = _mm512_mask_add_epi32(y0, used, y0, laneStepY_);
    const __m512i offsets = _mm512_add_epi32(
        _mm512_mullo_epi32(_mm512_srai_epi32(ys, 16), rowStep_), _mm512_srai_epi32(xs, 16));
    // Per sample the words [fx, fy] and [fy, fx]; their high products are
    // wbr in both words, fy - wbr = wbl.
    const __m512i low = _mm512_set1_epi32(0xFFFF);
    const __m512i fx = _mm512_and_si512(xs, low);
    const __m512i fxfy = _mm512_or_si512(fx, _mm512_slli_epi32(ys, 16));
    const __m512i fyfx = _mm512_or_si512(_mm512_and_si512(ys, low), _mm512_slli_epi32(xs, 16));
    const __m512i wbr = _mm512_mulhi_epu16(fxfy, fyfx);
    const __m512i wbl = _mm512_andnot_si512(low, _mm512_sub_epi16(fxfy, wbr));
    const __m512i ab = _mm512_xor_si512(_mm512_or_si512(fx, wbl),
                                        _mm512_set1_epi32(static_cast<int>(0x80008000u)));
    const __m512i ds = _mm512_xor_si512(_mm512_and_si512(wbr, low), _mm512_set1_epi32(0x40008000));
    const __m512i s0 = SampleFour<0>(offsets, ab, ds), s1 = SampleFour<1>(offsets, ab, ds);
    const __m512i s2 = SampleFour<2>(offsets, ab, ds), s3 = SampleFour<3>(offsets, ab, ds);
    lo = _mm512_packus_epi32(s0, s1);
    hi = _mm512_packus_epi32(s2, s3);
  }

 private:
  static __m512i LaneSteps(int64_t step) {
    return _mm512_mullo_epi32(
        _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
        _mm512_set1_epi32(static_cast<int32_t>(step)));
  }

  // Samples K, K + 4, K + 8, K + 12 as 32-bit channels.
  template <int K>
  __m512i SampleFour(__m512i offsets, __m512i ab, __m512i ds) const {
    // Per lane the bytes tl, tr, bl, br (four channels each) of one sample:
    // its top pair at its offset, its bottom pair a row step further.
    const __m512i samples =
        _mm512_setr_epi32(K, K, K + 4, K + 4, K + 8, K + 8, K + 12, K + 12, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i index = _mm256_add_epi32(
        _mm512_castsi512_si256(_mm512_permutexvar_epi32(samples, offsets)), belowStep_);
    const __m512i pixels = _mm512_i32gather_epi64(index, top_, 4);
    // Channel c's dword: bytes tr tl bl tl, times 1 -1 1 -1, gives a, b;
    // bytes br tr bl br, times 1 -1 2 2, gives d, s.
    const __m512i abBytes = _mm512_shuffle_epi8(
        pixels, InEveryLane(_mm_setr_epi8(4, 0, 8, 0, 5, 1, 9, 1, 6, 2, 10, 2, 7, 3, 11, 3)));
    const __m512i dsBytes = _mm512_shuffle_epi8(
        pixels,
        InEveryLane(_mm_setr_epi8(12, 4, 8, 12, 13, 5, 9, 13, 14, 6, 10, 14, 15, 7, 11, 15)));
    const __m512i abWords =
        _mm512_maddubs_epi16(abBytes, _mm512_set1_epi32(static_cast<int>(0xFF01FF01u)));
    const __m512i dsWords = _mm512_maddubs_epi16(dsBytes, _mm512_set1_epi32(0x0202FF01));
    constexpr _MM_PERM_ENUM kSpread = static_cast<_MM_PERM_ENUM>(K * 0x55);
    const __m512i abSum = _mm512_madd_epi16(abWords, _mm512_shuffle_epi32(ab, kSpread));
    return _mm512_srli_epi32(_mm512_dpwssd_epi32(abSum, dsWords, _mm512_shuffle_epi32(ds, kSpread)),
                             16);
  }

  const uint32_t* top_;
  __m512i rowStep_, laneStepX_, laneStepY_;
  __m256i belowStep_;  // 0 and the row step in turn
  __m512i w16_;        // the blend's weight in every word
};

}  // namespace

void Raster_InstallAvx512PixelRows(RPixelRows& rows) {
  rows.bilinearSpan = BilinearSpanInGroups<BilinearSixteen>;
  rows.bilinearAlphaBlend = BilinearAlphaBlendInGroups<BilinearSixteen>;
}

#else

void Raster_InstallAvx512PixelRows(RPixelRows&) {}

#endif
