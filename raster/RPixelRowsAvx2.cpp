// The AVX2 unit of the row loops: the SSE2 unit's arithmetic on eight pixels
// per step (the 16-bit widening and packing work within each 128-bit half,
// which keeps the pixel order), its own for the full-weight alpha blend, and
// bilinear sampling of eight pixels per step through gathers. Tails and
// edges go to the SSE2 unit, with the upper register halves cleared first.
// Compiled with AVX2 enabled and installed only where the processor has it.
#include "raster/RPixelRows.h"

#if defined(__AVX2__)

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "platform/UpperRegisterHalves.h"
#include "raster/RBilinearGroups.h"

namespace {

// (s k + x (256 - k) + (x < s ? 255 : 0)) >> 8: the truncating interpolation
// s + (x - s)(256 - k) / 256, as the SSE2 unit derives it.
inline __m256i Interpolate(__m256i x, __m256i s, __m256i k) {
  const __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(256), k);
  const __m256i roundUp = _mm256_and_si256(_mm256_cmpgt_epi16(s, x), _mm256_set1_epi16(255));
  const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(s, k), _mm256_mullo_epi16(x, keep));
  return _mm256_srli_epi16(_mm256_add_epi16(sum, roundUp), 8);
}

inline __m256i Low16(__m256i v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
inline __m256i High16(__m256i v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }

// Each pixel's alpha word in its four words: one pshufb where the SSE2 unit
// takes two word shuffles.
inline __m256i SpreadAlpha(__m256i v16) {
  return _mm256_shuffle_epi8(v16, _mm256_broadcastsi128_si256(_mm_setr_epi8(
                                      6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15)));
}

inline __m256i AlphaBytes() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }

// k = w (sa + 1) / 256, below full weight.
inline __m256i AlphaWeights(__m256i s16, __m256i w16) {
  const __m256i sa = SpreadAlpha(s16), one = _mm256_set1_epi16(1);
  return _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(sa, one), w16), 8);
}

// (255 - sa) << 8 in each word of a pixel's Low16 or High16 channels: the
// inverted alpha byte in the upper byte of the word, zero below.
inline __m256i KeepWords(__m256i inverted, int pixel) {
  const char a = static_cast<char>(pixel * 4 + 3), b = static_cast<char>(pixel * 4 + 7);
  const __m128i control =
      _mm_setr_epi8(-128, a, -128, a, -128, a, -128, a, -128, b, -128, b, -128, b, -128, b);
  return _mm256_shuffle_epi8(inverted, _mm256_broadcastsi128_si256(control));
}

// Full weight, s + (x - s)(255 - sa) / 256 truncated toward zero, taken as
// s + floor(|x - s| (255 - sa) / 256) where x >= s and s - ... below: the
// distance and the side come from bytes, and one high product per channel,
// |x - s| times (255 - sa) << 8, forms the quotient: a dozen operations per
// eight pixels fewer than interpolating both products, and half the
// multiplications (256 x 256 rows of varied alpha, 1..254: 23.5 against
// 31.2 us on an AMD EPYC core). A transparent pixel, whose keep of 256
// does not fit the word, takes the destination for its source: distance 0
// leaves it. Opaque pixels keep 0 and take the source. The alpha byte gains
// sa, saturating.
inline __m256i AlphaBlendEightFull(__m256i s, __m256i x) {
  const __m256i transparent =
      _mm256_cmpeq_epi32(_mm256_and_si256(s, AlphaBytes()), _mm256_setzero_si256());
  const __m256i from = _mm256_blendv_epi8(s, x, transparent);
  const __m256i high = _mm256_max_epu8(x, from);
  const __m256i distance = _mm256_sub_epi8(high, _mm256_min_epu8(x, from));
  const __m256i inverted = _mm256_xor_si256(s, AlphaBytes());
  const __m256i part =
      _mm256_packus_epi16(_mm256_mulhi_epu16(Low16(distance), KeepWords(inverted, 0)),
                          _mm256_mulhi_epu16(High16(distance), KeepWords(inverted, 2)));
  const __m256i colour = _mm256_blendv_epi8(
      _mm256_sub_epi8(from, part), _mm256_add_epi8(from, part), _mm256_cmpeq_epi8(high, x));
  return _mm256_blendv_epi8(colour, _mm256_adds_epu8(x, s), AlphaBytes());
}

// s is the source as bytes, sLo and sHi its Low16 and High16 (unused at full
// weight).
template <bool Full>
inline __m256i AlphaBlendEight(__m256i s, __m256i sLo, __m256i sHi, __m256i x, __m256i w16) {
  if constexpr (Full) {
    return AlphaBlendEightFull(s, x);
  } else {
    const __m256i kLo = AlphaWeights(sLo, w16), kHi = AlphaWeights(sHi, w16);
    const __m256i colour =
        _mm256_packus_epi16(Interpolate(Low16(x), sLo, kLo), Interpolate(High16(x), sHi, kHi));
    return _mm256_blendv_epi8(colour, _mm256_adds_epu8(x, _mm256_packus_epi16(kLo, kHi)),
                              AlphaBytes());
  }
}

template <bool Full>
int32_t AlphaBlendVectors(uint32_t* dst, const uint32_t* src, int32_t count, int32_t w) {
  const __m256i w16 = _mm256_set1_epi16(static_cast<int16_t>(w));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i alpha = _mm256_and_si256(s, AlphaBytes());
    if (_mm256_testz_si256(alpha, alpha)) continue;
    __m256i* out = reinterpret_cast<__m256i*>(dst + i);
    if (Full && _mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, AlphaBytes())) == -1) {
      _mm256_storeu_si256(out, s);
      continue;
    }
    _mm256_storeu_si256(
        out, AlphaBlendEight<Full>(s, Low16(s), High16(s), _mm256_loadu_si256(out), w16));
  }
  return i;
}

void AlphaBlend(uint32_t* dst, const uint32_t* src, int32_t count, int32_t w) {
  const int32_t done = w == 256 ? AlphaBlendVectors<true>(dst, src, count, w)
                                : AlphaBlendVectors<false>(dst, src, count, w);
  ClearUpperRegisterHalves();
  Raster_Sse2PixelRows()->alphaBlend(dst + done, src + done, count - done, w);
}

void FillCopy(uint32_t* dst, int32_t count, uint32_t colour, int32_t w) {
  const uint32_t source = (colour & 0x00FFFFFFu) | static_cast<uint32_t>(w) << 24;
  const __m256i s16 = Low16(_mm256_set1_epi32(static_cast<int>(source)));
  const __m256i k = _mm256_set1_epi16(static_cast<int16_t>(w));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i* out = reinterpret_cast<__m256i*>(dst + i);
    const __m256i x = _mm256_loadu_si256(out);
    _mm256_storeu_si256(
        out, _mm256_packus_epi16(Interpolate(Low16(x), s16, k), Interpolate(High16(x), s16, k)));
  }
  ClearUpperRegisterHalves();
  Raster_Sse2PixelRows()->fillCopy(dst + i, count - i, colour, w);
}

void MaskCopy(uint32_t* dst, const uint8_t* coverage, int32_t count, uint32_t colour, int32_t w) {
  const __m256i s16 = Low16(_mm256_set1_epi32(static_cast<int>(colour)));
  const __m256i w16 = _mm256_set1_epi16(static_cast<int16_t>(w));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    int64_t eight;
    std::memcpy(&eight, coverage + i, sizeof eight);
    if (eight == 0) continue;
    // Coverage 0-3 in the lower half, 4-7 in the upper, each byte twice in a
    // 32-bit lane; the unpacks then give every pixel its byte four times, in
    // the order the pixels' own unpacks take them.
    __m256i c = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(eight));
    c = _mm256_or_si256(c, _mm256_slli_epi32(c, 16));
    const __m256i kLo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi32(c, c), w16), 8);
    const __m256i kHi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi32(c, c), w16), 8);
    __m256i* out = reinterpret_cast<__m256i*>(dst + i);
    const __m256i x = _mm256_loadu_si256(out);
    _mm256_storeu_si256(out, _mm256_packus_epi16(Interpolate(Low16(x), s16, kLo),
                                                 Interpolate(High16(x), s16, kHi)));
  }
  ClearUpperRegisterHalves();
  Raster_Sse2PixelRows()->maskCopy(dst + i, coverage + i, count - i, colour, w);
}

// All bits set in the lanes below n.
inline __m256i LanesBelow(int32_t n) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// The first lanes pixels at p; the others read as 0 and are not touched.
inline __m256i LoadLanes(const uint32_t* p, int32_t lanes) {
  if (lanes == 8) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), LanesBelow(lanes));
}

inline void StoreLanes(uint32_t* p, __m256i v, int32_t lanes) {
  if (lanes == 8) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
  } else {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), LanesBelow(lanes), v);
  }
}

// Bilinear sampling, eight samples per step by RBilinear::MaddWeights.
// Sample i shares a register with sample i + 4 (one per 128-bit half), so
// that the results pack into the Low16 / High16 order of eight destination
// pixels. Each sample's two neighbour pairs are 64-bit broadcast loads
// merged by dword blends, one pshufb per factor pair lines the bytes up for
// pmaddubsw, and the weights of the eight samples are computed side by side
// and spread to their samples' channels by pshufd.
// (Measured on a walk through the middle of a 256 x 256 image: 1.4 ns per
// sample, 1.8 x the gathered single-precision sum of four products this
// replaced. Gathering the neighbour pairs with vpgatherdq instead of the
// broadcasts and blends measured the same.)
class BilinearEight {
 public:
  static constexpr int32_t kLanes = 8;

  BilinearEight(const RSampleSource& src, int64_t stepX, int64_t stepY, int32_t w)
      : top_(src.origin),
        below_(src.origin + src.rowStep),
        rowStep_(_mm256_set1_epi32(static_cast<int32_t>(src.rowStep))),
        laneStepX_(LaneSteps(stepX)),
        laneStepY_(LaneSteps(stepY)),
        w16_(_mm256_set1_epi16(static_cast<int16_t>(w))) {}

  // The groups the shared walk (raster/RBilinearGroups.h) asks for.
  void Span(uint32_t* out, int64_t x, int64_t y, int32_t lanes) const {
    __m256i lo, hi;
    Sample(x, y, lanes, lo, hi);
    StoreLanes(out, _mm256_packus_epi16(lo, hi), lanes);
  }

  template <bool Full>
  void AlphaBlend(uint32_t* dst, int64_t x, int64_t y, int32_t lanes) const {
    __m256i lo, hi;
    Sample(x, y, lanes, lo, hi);
    const __m256i s = _mm256_packus_epi16(lo, hi);
    const __m256i alpha = _mm256_and_si256(s, AlphaBytes());
    if (_mm256_testz_si256(alpha, alpha)) return;
    if (Full && _mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, AlphaBytes())) == -1) {
      StoreLanes(dst, s, lanes);
      return;
    }
    StoreLanes(dst, AlphaBlendEight<Full>(s, lo, hi, LoadLanes(dst, lanes), w16_), lanes);
  }

  // Samples at (x, y) + i (stepX, stepY), all in the interpolated area, as
  // 16-bit channels: samples 0, 1, 4, 5 in lo, 2, 3, 6, 7 in hi.
  // Lanes from the given number on sample the first position again.
  void Sample(int64_t x, int64_t y, int32_t lanes, __m256i& lo, __m256i& hi) const {
    const __m256i x0 = _mm256_set1_epi32(static_cast<int32_t>(x));
    const __m256i y0 = _mm256_set1_epi32(static_cast<int32_t>(y));
    __m256i xs = _mm256_add_epi32(x0, laneStepX_), ys = _mm256_add_epi32(y0, laneStepY_);
    if (lanes < 8) {
      const __m256i used = LanesBelow(lanes);
      xs = _mm256_blendv_epi8(x0, xs, used);
      ys = _mm256_blendv_epi8(y0, ys, used);
    }
    alignas(32) int32_t offsets[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(offsets),
                       _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(ys, 16), rowStep_),
                                        _mm256_srai_epi32(xs, 16)));
    // Read back from memory: the compiler would otherwise extract each lane
    // with two shuffle-port instructions (measured 8 % slower).
    __asm__("" : "+m"(offsets));
    // Per sample the words [fx, fy] and [fy, fx]; their high products are
    // wbr in both words, fy - wbr = wbl.
    const __m256i low = _mm256_set1_epi32(0xFFFF);
    const __m256i fx = _mm256_and_si256(xs, low);
    const __m256i fxfy = _mm256_or_si256(fx, _mm256_slli_epi32(ys, 16));
    const __m256i fyfx = _mm256_or_si256(_mm256_and_si256(ys, low), _mm256_slli_epi32(xs, 16));
    const __m256i wbr = _mm256_mulhi_epu16(fxfy, fyfx);
    const __m256i wbl = _mm256_andnot_si256(low, _mm256_sub_epi16(fxfy, wbr));
    const __m256i ab = _mm256_xor_si256(_mm256_or_si256(fx, wbl),
                                        _mm256_set1_epi32(static_cast<int>(0x80008000u)));
    const __m256i ds = _mm256_xor_si256(_mm256_and_si256(wbr, low), _mm256_set1_epi32(0x40008000));
    const __m256i s04 = SampleTwo<0>(offsets, ab, ds), s15 = SampleTwo<1>(offsets, ab, ds);
    const __m256i s26 = SampleTwo<2>(offsets, ab, ds), s37 = SampleTwo<3>(offsets, ab, ds);
    lo = _mm256_packus_epi32(s04, s15);
    hi = _mm256_packus_epi32(s26, s37);
  }

 private:
  static __m256i LaneSteps(int64_t step) {
    return _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                              _mm256_set1_epi32(static_cast<int32_t>(step)));
  }

  static __m256i Pair(const uint32_t* p) {
    int64_t bits;
    std::memcpy(&bits, p, sizeof bits);
    return _mm256_set1_epi64x(bits);
  }

  // Samples K and K + 4 as 32-bit channels.
  template <int K>
  __m256i SampleTwo(const int32_t* offsets, __m256i ab, __m256i ds) const {
    // Per half the bytes tl, tr, bl, br (four channels each) of one sample.
    const __m256i first =
        _mm256_blend_epi32(Pair(top_ + offsets[K]), Pair(below_ + offsets[K]), 0x0C);
    const __m256i second =
        _mm256_blend_epi32(Pair(top_ + offsets[K + 4]), Pair(below_ + offsets[K + 4]), 0xC0);
    const __m256i pixels = _mm256_blend_epi32(first, second, 0xF0);
    // Channel c's dword: bytes tr tl bl tl, times 1 -1 1 -1, gives a, b;
    // bytes br tr bl br, times 1 -1 2 2, gives d, s.
    const __m256i abBytes =
        _mm256_shuffle_epi8(pixels, _mm256_broadcastsi128_si256(_mm_setr_epi8(
                                        4, 0, 8, 0, 5, 1, 9, 1, 6, 2, 10, 2, 7, 3, 11, 3)));
    const __m256i dsBytes =
        _mm256_shuffle_epi8(pixels, _mm256_broadcastsi128_si256(_mm_setr_epi8(
                                        12, 4, 8, 12, 13, 5, 9, 13, 14, 6, 10, 14, 15, 7, 11, 15)));
    const __m256i abWords =
        _mm256_maddubs_epi16(abBytes, _mm256_set1_epi32(static_cast<int>(0xFF01FF01u)));
    const __m256i dsWords = _mm256_maddubs_epi16(dsBytes, _mm256_set1_epi32(0x0202FF01));
    constexpr int kSpread = K * 0x55;  // the sample's weight in all four dwords
    const __m256i sum =
        _mm256_add_epi32(_mm256_madd_epi16(abWords, _mm256_shuffle_epi32(ab, kSpread)),
                         _mm256_madd_epi16(dsWords, _mm256_shuffle_epi32(ds, kSpread)));
    return _mm256_srli_epi32(sum, 16);
  }

  const uint32_t* top_;
  const uint32_t* below_;
  __m256i rowStep_, laneStepX_, laneStepY_;
  __m256i w16_;  // the blend's weight in every word
};

constexpr RPixelRows kAvx2Rows{AlphaBlend, FillCopy, MaskCopy, BilinearSpanInGroups<BilinearEight>,
                               BilinearAlphaBlendInGroups<BilinearEight>};

}  // namespace

void Raster_InstallAvx2PixelRows(RPixelRows& rows) { rows = kAvx2Rows; }

#else

void Raster_InstallAvx2PixelRows(RPixelRows&) {}

#endif
