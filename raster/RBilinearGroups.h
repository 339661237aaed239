// The walk of a bilinear row for the vector units that sample in groups,
// written once for the instruction-set units that include it. Each unit
// compiles it for its own instruction set, so everything here has internal
// linkage: no unit may pick up another's code. The samples that interpolate
// go by groups of the unit's width, the last one shorter; those before and
// after them, at the source's edges, go to the SSE2 unit (after the groups,
// with the upper register halves cleared). (Groups aligned to the run rather
// than to the row's start halved the samples left to the SSE2 unit in a
// rotated 42 x 42 knob; a masked last group instead of a tail loop took
// another 6 % off it and 9 % off a 256 x 256 rotation.)
//
// The unit supplies Groups, made from the source, the steps and the blend
// weight w, with kLanes and, for the first `lanes` samples from (x, y):
//   void Span(uint32_t* out, int64_t x, int64_t y, int32_t lanes) const;
//   template <bool Full>  // w == 256
//   void AlphaBlend(uint32_t* dst, int64_t x, int64_t y, int32_t lanes) const;
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/UpperRegisterHalves.h"
#include "raster/RBilinearSample.h"
#include "raster/RPixelRows.h"

namespace {

template <typename Groups>
void BilinearSpanInGroups(uint32_t* out, const RSampleSource& src, int64_t x, int64_t y,
                          int64_t stepX, int64_t stepY, int32_t count) {
  const RPixelRows& sse2 = *Raster_Sse2PixelRows();
  RWalkRuns runs;
  if (!Raster_BilinearWalkRuns(src, x, y, stepX, stepY, count, runs)) {
    sse2.bilinearSpan(out, src, x, y, stepX, stepY, count);
    return;
  }
  const RIndexRun run = runs.interpolated;
  sse2.bilinearSpan(out, src, x, y, stepX, stepY, run.first);
  const Groups groups(src, stepX, stepY, 256);
  for (int32_t i = run.first; i < run.last; i += Groups::kLanes)
    groups.Span(out + i, x + i * stepX, y + i * stepY, std::min(Groups::kLanes, run.last - i));
  ClearUpperRegisterHalves();
  sse2.bilinearSpan(out + run.last, src, x + run.last * stepX, y + run.last * stepY, stepX, stepY,
                    count - run.last);
}

// Sampling and the alpha blend in one pass: the samples stay in registers,
// already widened the way the blend wants them. Samples outside the source
// leave their pixels, so only the inside run is walked.
template <typename Groups, bool Full>
void BilinearAlphaBlendInGroupsOf(uint32_t* dst, const RSampleSource& src, int64_t x, int64_t y,
                                  int64_t stepX, int64_t stepY, int32_t count, int32_t w) {
  const RPixelRows& sse2 = *Raster_Sse2PixelRows();
  RWalkRuns runs;
  if (!Raster_BilinearWalkRuns(src, x, y, stepX, stepY, count, runs)) {
    sse2.bilinearAlphaBlend(dst, src, x, y, stepX, stepY, count, w);
    return;
  }
  const auto bySse2 = [&](int32_t first, int32_t last) {
    if (first < last)
      sse2.bilinearAlphaBlend(dst + first, src, x + first * stepX, y + first * stepY, stepX, stepY,
                              last - first, w);
  };
  const RIndexRun inside = runs.inside, run = runs.interpolated;
  if (run.first == run.last) {
    bySse2(inside.first, inside.last);
    return;
  }
  bySse2(inside.first, run.first);
  const Groups groups(src, stepX, stepY, w);
  for (int32_t i = run.first; i < run.last; i += Groups::kLanes) {
    groups.template AlphaBlend<Full>(dst + i, x + i * stepX, y + i * stepY,
                                     std::min(Groups::kLanes, run.last - i));
  }
  ClearUpperRegisterHalves();
  bySse2(run.last, inside.last);
}

template <typename Groups>
void BilinearAlphaBlendInGroups(uint32_t* dst, const RSampleSource& src, int64_t x, int64_t y,
                                int64_t stepX, int64_t stepY, int32_t count, int32_t w) {
  if (w == 256) {
    BilinearAlphaBlendInGroupsOf<Groups, true>(dst, src, x, y, stepX, stepY, count, w);
  } else {
    BilinearAlphaBlendInGroupsOf<Groups, false>(dst, src, x, y, stepX, stepY, count, w);
  }
}

}  // namespace
