// Single-precision host samples to and from the double-precision samples the
// effect processes, several at a time where the machine allows. Widening is
// exact; narrowing rounds to nearest exactly as a conversion of each sample
// would; the accumulating form adds in single precision. Audio thread,
// plug-in lock held by the caller; allocates nothing.
#pragma once

#include <cstdint>

void WidenSamples(const float* from, double* to, int32_t count);
void NarrowSamples(const double* from, float* to, int32_t count);
// to[j] = to[j] + (float)from[j]
void AddNarrowedSamples(const double* from, float* to, int32_t count);

// The conversions of one instruction set; the functions above take the
// fastest the processor runs.
struct SampleConverters {
  void (*widen)(const float* from, double* to, int32_t count);
  void (*narrow)(const double* from, float* to, int32_t count);
  void (*addNarrowed)(const double* from, float* to, int32_t count);
};

// Four samples at a time (the scalar loop where the build has no SSE2).
const SampleConverters& Sse2SampleConverters();
// Eight at a time; null where the processor or the build has no AVX.
const SampleConverters* AvxSampleConverters();
