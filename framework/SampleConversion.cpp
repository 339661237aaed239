#include "framework/SampleConversion.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The vector forms use the same instructions as the scalar conversions
// (cvtps2pd, cvtpd2ps under the default round-to-nearest mode, addps), only
// on several lanes, so every sample comes out the same.

namespace {

void Widen(const float* from, double* to, int32_t count) {
  int32_t j = 0;
#if defined(__SSE2__)
  for (; j + 4 <= count; j += 4) {
    const __m128 four = _mm_loadu_ps(from + j);
    _mm_storeu_pd(to + j, _mm_cvtps_pd(four));
    _mm_storeu_pd(to + j + 2, _mm_cvtps_pd(_mm_movehl_ps(four, four)));
  }
#endif
  for (; j < count; ++j) to[j] = static_cast<double>(from[j]);
}

#if defined(__SSE2__)
inline __m128 NarrowFour(const double* from) {
  return _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(from)), _mm_cvtpd_ps(_mm_loadu_pd(from + 2)));
}
#endif

void Narrow(const double* from, float* to, int32_t count) {
  int32_t j = 0;
#if defined(__SSE2__)
  for (; j + 4 <= count; j += 4) _mm_storeu_ps(to + j, NarrowFour(from + j));
#endif
  for (; j < count; ++j) to[j] = static_cast<float>(from[j]);
}

void AddNarrowed(const double* from, float* to, int32_t count) {
  int32_t j = 0;
#if defined(__SSE2__)
  for (; j + 4 <= count; j += 4)
    _mm_storeu_ps(to + j, _mm_add_ps(_mm_loadu_ps(to + j), NarrowFour(from + j)));
#endif
  for (; j < count; ++j) to[j] = to[j] + static_cast<float>(from[j]);
}

constexpr SampleConverters kSse2{Widen, Narrow, AddNarrowed};

}  // namespace

const SampleConverters& Sse2SampleConverters() { return kSse2; }

SampleConverters SampleConvertersFor(CpuLevel level) {
  SampleConverters table = kSse2;
  if (level >= CpuLevel::kAvx) InstallAvxSampleConverters(table);
  return table;
}

const SampleConverters& FastestSampleConverters() {
  static const SampleConverters table = SampleConvertersFor(Platform_CpuLevel());
  return table;
}
