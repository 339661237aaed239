// Single-precision host samples to and from the double-precision samples the
// effect processes, several at a time where the machine allows. Widening is
// exact; narrowing rounds to nearest exactly as a conversion of each sample
// would; the accumulating form adds in single precision. The conversions run
// on the audio thread, with the plug-in lock held by the caller, and allocate
// nothing.
#pragma once

#include <cstdint>

#include "platform/CpuLevel.h"

// The conversions of one instruction set; from and to never overlap.
struct SampleConverters {
  void (*widen)(const float* from, double* to, int32_t count);
  void (*narrow)(const double* from, float* to, int32_t count);
  // to[j] = to[j] + (float)from[j]
  void (*addNarrowed)(const double* from, float* to, int32_t count);
};

// The fastest conversions the processor runs, filled once. [constructor]
// Callers keep the table: asking for it in every block cost some 2 % of a
// 64-frame block.
const SampleConverters& FastestSampleConverters();

// The table for a level: the SSE2 unit, then each level's conversions over
// it (the tests hold every level the processor runs to the scalar forms).
SampleConverters SampleConvertersFor(CpuLevel level);

// Four samples at a time (the scalar loop where the build has no SSE2).
const SampleConverters& Sse2SampleConverters();
// Puts the AVX unit's conversions, eight at a time, into the table; leaves it
// where the build has no AVX.
void InstallAvxSampleConverters(SampleConverters& table);
