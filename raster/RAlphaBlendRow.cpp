#include "raster/RAlphaBlendRow.h"

#include "raster/RPixelOps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)

// Two pixels widened to 16-bit channels: s + (x - s) x keep / 256 with the
// division truncating toward zero, done as s +- (|x - s| x keep >> 8) so the
// product stays within 16 unsigned bits.
inline __m128i BlendWide(__m128i s, __m128i x, __m128i keep) {
  const __m128i sourceAbove = _mm_cmpgt_epi16(s, x);
  const __m128i distance = _mm_sub_epi16(_mm_max_epi16(s, x), _mm_min_epi16(s, x));
  const __m128i moved = _mm_srli_epi16(_mm_mullo_epi16(distance, keep), 8);
  // Negated where x < s: (q ^ -1) - (-1) = -q.
  return _mm_add_epi16(s, _mm_sub_epi16(_mm_xor_si128(moved, sourceAbove), sourceAbove));
}

// Four pixels. Alpha becomes min(alpha + sa, 255), a saturating byte add; a
// source alpha of 255 gives keep 0 (the source colour), and lanes with
// source alpha 0 keep the destination.
inline __m128i BlendFour(__m128i s, __m128i x) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaByte = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i keep32 = _mm_sub_epi32(_mm_set1_epi32(255), _mm_srli_epi32(s, 24));
  const __m128i keep16 = _mm_or_si128(keep32, _mm_slli_epi32(keep32, 16));
  const __m128i low = BlendWide(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(x, zero),
                                _mm_unpacklo_epi32(keep16, keep16));
  const __m128i high = BlendWide(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(x, zero),
                                 _mm_unpackhi_epi32(keep16, keep16));
  const __m128i colour = _mm_andnot_si128(alphaByte, _mm_packus_epi16(low, high));
  const __m128i blended = _mm_or_si128(colour, _mm_and_si128(alphaByte, _mm_adds_epu8(x, s)));
  const __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(s, alphaByte), zero);
  return _mm_or_si128(_mm_and_si128(transparent, x), _mm_andnot_si128(transparent, blended));
}

int32_t BlendVectors(uint32_t* dst, const uint32_t* src, int32_t count) {
  const __m128i alphaByte = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i zero = _mm_setzero_si128();
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i alpha = _mm_and_si128(s, alphaByte);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaByte)) == 0xFFFF) {
      _mm_storeu_si128(out, s);
      continue;
    }
    _mm_storeu_si128(out, BlendFour(s, _mm_loadu_si128(out)));
  }
  return i;
}

#else

int32_t BlendVectors(uint32_t*, const uint32_t*, int32_t) { return 0; }

#endif

}  // namespace

void Raster_AlphaBlendRowFull(uint32_t* dst, const uint32_t* src, int32_t count) {
  for (int32_t i = BlendVectors(dst, src, count); i < count; ++i) {
    const uint32_t p = src[i];
    RPixel::CopyAlpha::Apply(dst + i, RPixel::Red(p), RPixel::Green(p), RPixel::Blue(p),
                             RPixel::Alpha(p), 256);
  }
}
