// The AVX unit of the sample conversions: eight samples a step, the tail by
// the SSE2 unit. Compiled with AVX enabled and installed only where the
// processor has it (SampleConvertersFor).
#include "framework/SampleConversion.h"

#if defined(__AVX__)

#include <immintrin.h>

#include "platform/UpperRegisterHalves.h"

namespace {

void Widen(const float* from, double* to, int32_t count) {
  int32_t j = 0;
  for (; j + 8 <= count; j += 8) {
    _mm256_storeu_pd(to + j, _mm256_cvtps_pd(_mm_loadu_ps(from + j)));
    _mm256_storeu_pd(to + j + 4, _mm256_cvtps_pd(_mm_loadu_ps(from + j + 4)));
  }
  if (j < count) Sse2SampleConverters().widen(from + j, to + j, count - j);
}

inline __m128 NarrowFour(const double* from) { return _mm256_cvtpd_ps(_mm256_loadu_pd(from)); }

// Four-sample halves stored apart, without the shuffle that would join them
// into one 256-bit store. The 256-bit operand comes straight from memory, so
// the compiler sees no wide register to clear afterwards.
void Narrow(const double* from, float* to, int32_t count) {
  int32_t j = 0;
  for (; j + 8 <= count; j += 8) {
    _mm_storeu_ps(to + j, NarrowFour(from + j));
    _mm_storeu_ps(to + j + 4, NarrowFour(from + j + 4));
  }
  ClearUpperRegisterHalves();
  if (j < count) Sse2SampleConverters().narrow(from + j, to + j, count - j);
}

void AddNarrowed(const double* from, float* to, int32_t count) {
  int32_t j = 0;
  for (; j + 8 <= count; j += 8) {
    _mm_storeu_ps(to + j, _mm_add_ps(_mm_loadu_ps(to + j), NarrowFour(from + j)));
    _mm_storeu_ps(to + j + 4, _mm_add_ps(_mm_loadu_ps(to + j + 4), NarrowFour(from + j + 4)));
  }
  ClearUpperRegisterHalves();
  if (j < count) Sse2SampleConverters().addNarrowed(from + j, to + j, count - j);
}

constexpr SampleConverters kAvx{Widen, Narrow, AddNarrowed};

}  // namespace

void InstallAvxSampleConverters(SampleConverters& table) { table = kAvx; }

#else

void InstallAvxSampleConverters(SampleConverters&) {}

#endif
