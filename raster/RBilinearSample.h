// Bilinear sampling of a source bitmap at a 16.16 fixed-point position, the
// reference every faster sampling loop matches, and the arithmetic those
// loops share: the sum in pmaddwd form and the runs of a walk.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The part of a source bitmap a transformed blit may sample: pixel (0, 0) is
// origin, rows are rowStep pixels apart.
struct RSampleSource {
  const uint32_t* origin;
  ptrdiff_t rowStep;
  int32_t width, height;

  const uint32_t* RowAt(int64_t row) const {
    return origin + static_cast<ptrdiff_t>(row) * rowStep;
  }
  bool Contains(int64_t col, int64_t row) const {
    return col >= 0 && row >= 0 && col < width && row < height;
  }
};

namespace RBilinear {

// One channel (at shift) of the weighted sum of two or four pixels, weights
// summing to 65536.
inline uint32_t Mix2(uint32_t a, uint32_t wa, uint32_t b, uint32_t wb, int shift) {
  return ((((a >> shift) & 0xFF) * wa + ((b >> shift) & 0xFF) * wb) >> 16) << shift;
}

inline uint32_t Mix4(uint32_t tl, uint32_t wtl, uint32_t tr, uint32_t wtr, uint32_t bl,
                     uint32_t wbl, uint32_t br, uint32_t wbr, int shift) {
  const uint32_t sum = ((bl >> shift) & 0xFF) * wbl + ((br >> shift) & 0xFF) * wbr +
                       ((tl >> shift) & 0xFF) * wtl + ((tr >> shift) & 0xFF) * wtr;
  return (sum >> 16) << shift;
}

// The interpolated sum rewritten for pmaddwd, which multiplies signed 16-bit
// pairs. With a = tr - tl, b = bl - tl, d = br - tr and s = 2 (bl + br), per
// channel,
//   tl wtl + tr wtr + bl wbl + br wbr
//     = a (fx - 32768) + b (wbl - 32768) + d (wbr - 32768) + s 16384,
// as each pixel's factor shows: tl gets 65536 - fx - wbl = wtl, tr gets
// fx - wbr = wtr, bl and br their own weights. Every factor fits a signed
// 16-bit lane (wtl itself reaches 65536 and would not), every term is a
// two-byte combination that one pmaddubsw forms, and the sum is the exact
// one, so its upper half is the sample. ab holds the factors of a and b,
// ds those of d and s, low word first.
struct MaddWeights {
  uint32_t ab, ds;
};

inline MaddWeights MaddWeightsAt(uint32_t fx, uint32_t fy) {
  const uint32_t wbr = (fx * fy) >> 16, wbl = fy - wbr;
  return {(fx ^ 0x8000u) | (wbl ^ 0x8000u) << 16, (wbr ^ 0x8000u) | 16384u << 16};
}

// ceil(a / b) for b > 0, |a| and b below 2^47: the quotient in double
// precision is within one of it (measured: four 64-bit integer divisions per
// row took 13 % of a rotated 42 x 42 knob), then settled exactly.
inline int64_t CeilDiv(int64_t a, int64_t b) {
  int64_t q = static_cast<int64_t>(static_cast<double>(a) / static_cast<double>(b));
  while (q * b < a) ++q;
  while ((q - 1) * b >= a) --q;
  return q;
}

}  // namespace RBilinear

// A run of indices [first, last), empty where first >= last.
struct RIndexRun {
  int32_t first = 0, last = 0;
};

// The indices i in [0, count) with 0 <= start + i step < limit: a run, as
// the positions are linear in i. start and step stay below 2^46 in
// magnitude, limit below 2^47.
inline RIndexRun Raster_IndexRunWithin(int64_t start, int64_t step, int64_t limit, int32_t count) {
  using RBilinear::CeilDiv;
  int64_t first = 0, last = count;
  if (step == 0) {
    if (start < 0 || start >= limit) last = 0;
  } else if (step > 0) {
    if (start < 0) first = CeilDiv(-start, step);
    last = start < limit ? std::min(last, CeilDiv(limit - start, step)) : 0;
  } else {
    if (start >= limit) first = CeilDiv(start - limit + 1, -step);
    last = start >= 0 ? std::min(last, CeilDiv(start + 1, -step)) : 0;
  }
  return {static_cast<int32_t>(std::min<int64_t>(first, count)), static_cast<int32_t>(last)};
}

// Whether the n positions (x, y) + i (stepX, stepY), i = 0..n-1, all
// interpolate. They are linear in i, so the first and the last decide.
inline bool Raster_RunInterpolates(const RSampleSource& s, int64_t x, int64_t y, int64_t stepX,
                                   int64_t stepY, int32_t n) {
  const int64_t lastX = x + (n - 1) * stepX, lastY = y + (n - 1) * stepY;
  const int64_t limitX = int64_t{s.width - 1} << 16, limitY = int64_t{s.height - 1} << 16;
  return x >= 0 && lastX >= 0 && x < limitX && lastX < limitX && y >= 0 && lastY >= 0 &&
         y < limitY && lastY < limitY;
}

// The sample at (x, y) in 16.16; false, leaving out alone, outside the
// source. The last row and column are not interpolated beyond the edge.
inline bool Raster_BilinearSample(const RSampleSource& s, int64_t x, int64_t y, uint32_t& out) {
  using RBilinear::Mix2, RBilinear::Mix4;
  const int64_t col = x >> 16, row = y >> 16;
  if (!s.Contains(col, row)) return false;
  const uint32_t fx = static_cast<uint32_t>(x) & 0xFFFF, fy = static_cast<uint32_t>(y) & 0xFFFF;
  const bool lastCol = col == s.width - 1, lastRow = row == s.height - 1;
  const uint32_t* top = s.RowAt(row) + col;
  const uint32_t tl = top[0];
  if (!lastRow && !lastCol) {
    const uint32_t* below = top + s.rowStep;
    const uint32_t tr = top[1], bl = below[0], br = below[1];
    const uint32_t wbr = (fx * fy) >> 16, wbl = fy - wbr, wtr = fx - wbr,
                   wtl = 65536 - fx - fy + wbr;
    out = 0;
    for (int shift = 0; shift < 32; shift += 8)
      out |= Mix4(tl, wtl, tr, wtr, bl, wbl, br, wbr, shift);
  } else if (!lastRow) {
    const uint32_t bl = top[s.rowStep];
    out = 0;
    for (int shift = 0; shift < 32; shift += 8) out |= Mix2(bl, fy, tl, 65536 - fy, shift);
  } else if (!lastCol) {
    const uint32_t tr = top[1];
    out = 0;
    for (int shift = 0; shift < 32; shift += 8) out |= Mix2(tl, 65536 - fx, tr, fx, shift);
  } else {
    out = tl;
  }
  return true;
}

// The stretches of a walk that matter to the vector units' groups: the
// samples that interpolate, and around them those inside the source at all
// (outside, a sample is transparent). Both are runs, the positions being
// linear in the index, and the first holds the second.
struct RWalkRuns {
  RIndexRun inside, interpolated;
};

// False for sources whose positions and offsets in the interpolated area
// outgrow 32 bits, which the groups compute in, and for walks so far out that
// the arithmetic could overflow; the SSE2 unit then takes every sample.
// Defined out of line, in code compiled for the baseline processor, as every
// instruction-set unit calls it.
bool Raster_BilinearWalkRuns(const RSampleSource& src, int64_t x, int64_t y, int64_t stepX,
                             int64_t stepY, int32_t count, RWalkRuns& runs);
