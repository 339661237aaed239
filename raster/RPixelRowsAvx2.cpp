// The AVX2 unit of the row loops: the SSE2 unit's arithmetic on eight pixels
// per step (the 16-bit widening and packing work within each 128-bit half,
// which keeps the pixel order), and bilinear sampling of eight pixels per
// step through gathers. Tails and edges go to the SSE2 unit. Compiled with
// AVX2 enabled and chosen only on processors that have it.
#include "raster/RPixelRows.h"

#if defined(__AVX2__)

#include <immintrin.h>

#include <cstring>

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

inline __m256i SpreadAlpha(__m256i v16) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v16, 0xFF), 0xFF);
}

inline __m256i AlphaBytes() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }

// k = w (sa + 1) / 256; at full weight sa + 1, and 0 for sa = 0.
template <bool Full>
inline __m256i AlphaWeights(__m256i s16, __m256i w16) {
  const __m256i sa = SpreadAlpha(s16), one = _mm256_set1_epi16(1);
  if constexpr (Full) return _mm256_add_epi16(sa, _mm256_min_epi16(sa, one));
  return _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_add_epi16(sa, one), w16), 8);
}

template <bool Full>
inline __m256i AlphaBlendEight(__m256i s, __m256i x, __m256i w16) {
  const __m256i sLo = Low16(s), sHi = High16(s);
  const __m256i kLo = AlphaWeights<Full>(sLo, w16), kHi = AlphaWeights<Full>(sHi, w16);
  const __m256i colour =
      _mm256_packus_epi16(Interpolate(Low16(x), sLo, kLo), Interpolate(High16(x), sHi, kHi));
  const __m256i gained = Full ? s : _mm256_packus_epi16(kLo, kHi);
  return _mm256_blendv_epi8(colour, _mm256_adds_epu8(x, gained), AlphaBytes());
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
    _mm256_storeu_si256(out, AlphaBlendEight<Full>(s, _mm256_loadu_si256(out), w16));
  }
  return i;
}

void AlphaBlend(uint32_t* dst, const uint32_t* src, int32_t count, int32_t w) {
  const int32_t done = w == 256 ? AlphaBlendVectors<true>(dst, src, count, w)
                                : AlphaBlendVectors<false>(dst, src, count, w);
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
  Raster_Sse2PixelRows()->maskCopy(dst + i, coverage + i, count - i, colour, w);
}

// One channel (at shift) of eight samples: the weighted sum of the four
// neighbours in single precision, exact because every product and partial
// sum is an integer below 255 x 65536 < 2^24, then shifted down by 16.
inline __m256i MixChannel(__m256i tl, __m256i tr, __m256i bl, __m256i br, __m256 wtl, __m256 wtr,
                          __m256 wbl, __m256 wbr, int shift) {
  const __m256i byte = _mm256_set1_epi32(0xFF);
  const auto channel = [&](__m256i v) {
    return _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, shift), byte));
  };
  const __m256 sum = _mm256_add_ps(
      _mm256_add_ps(_mm256_mul_ps(channel(bl), wbl), _mm256_mul_ps(channel(br), wbr)),
      _mm256_add_ps(_mm256_mul_ps(channel(tl), wtl), _mm256_mul_ps(channel(tr), wtr)));
  return _mm256_slli_epi32(_mm256_srli_epi32(_mm256_cvttps_epi32(sum), 16), shift);
}

// Eight samples at a time, gathered, where a group lies wholly inside the
// interpolated area (every position before the last row and column); groups
// touching an edge and the tail go to the SSE2 unit. Positions, weights and
// offsets are then within 32 bits, which the source's size is checked for.
void BilinearSpan(uint32_t* out, const RSampleSource& src, int64_t x, int64_t y, int64_t stepX,
                  int64_t stepY, int32_t count) {
  const RPixelRows& sse2 = *Raster_Sse2PixelRows();
  const int64_t rowStep = src.rowStep < 0 ? -src.rowStep : src.rowStep;
  const bool small = src.width < 32768 && src.height < 32768 && rowStep * src.height < (1 << 30);
  const int64_t limitX = int64_t{src.width - 1} << 16, limitY = int64_t{src.height - 1} << 16;
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const auto inside = [](int64_t a, int64_t b, int64_t limit) {
    return a >= 0 && b >= 0 && a < limit && b < limit;
  };
  int32_t i = 0;
  for (; small && i + 8 <= count; i += 8, x += 8 * stepX, y += 8 * stepY) {
    if (!inside(x, x + 7 * stepX, limitX) || !inside(y, y + 7 * stepY, limitY)) {
      sse2.bilinearSpan(out + i, src, x, y, stepX, stepY, 8);
      continue;
    }
    const __m256i xs =
        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(x)),
                         _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int32_t>(stepX))));
    const __m256i ys =
        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(y)),
                         _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int32_t>(stepY))));
    const __m256i low16 = _mm256_set1_epi32(0xFFFF);
    const __m256i fx = _mm256_and_si256(xs, low16), fy = _mm256_and_si256(ys, low16);
    const __m256i wbr = _mm256_srli_epi32(_mm256_mullo_epi32(fx, fy), 16);
    const __m256i wbl = _mm256_sub_epi32(fy, wbr), wtr = _mm256_sub_epi32(fx, wbr);
    const __m256i wtl =
        _mm256_add_epi32(_mm256_sub_epi32(_mm256_sub_epi32(_mm256_set1_epi32(65536), fx), fy), wbr);
    const __m256i offsets =
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(ys, 16),
                                            _mm256_set1_epi32(static_cast<int32_t>(src.rowStep))),
                         _mm256_srai_epi32(xs, 16));
    const int* top = reinterpret_cast<const int*>(src.origin);
    const int* below = reinterpret_cast<const int*>(src.origin + src.rowStep);
    const __m256i tl = _mm256_i32gather_epi32(top, offsets, 4);
    const __m256i tr = _mm256_i32gather_epi32(top + 1, offsets, 4);
    const __m256i bl = _mm256_i32gather_epi32(below, offsets, 4);
    const __m256i br = _mm256_i32gather_epi32(below + 1, offsets, 4);
    const __m256 ftl = _mm256_cvtepi32_ps(wtl), ftr = _mm256_cvtepi32_ps(wtr),
                 fbl = _mm256_cvtepi32_ps(wbl), fbr = _mm256_cvtepi32_ps(wbr);
    __m256i result = _mm256_setzero_si256();
    for (int shift = 0; shift < 32; shift += 8)
      result = _mm256_or_si256(result, MixChannel(tl, tr, bl, br, ftl, ftr, fbl, fbr, shift));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), result);
  }
  sse2.bilinearSpan(out + i, src, x, y, stepX, stepY, count - i);
}

constexpr RPixelRows kAvx2Rows{AlphaBlend, FillCopy, MaskCopy, BilinearSpan};

}  // namespace

// The processor's features are read once by the runtime when the module
// loads; asking costs a load and a test.
const RPixelRows* Raster_Avx2PixelRows() {
  return __builtin_cpu_supports("avx2") ? &kAvx2Rows : nullptr;
}

#else

const RPixelRows* Raster_Avx2PixelRows() { return nullptr; }

#endif
