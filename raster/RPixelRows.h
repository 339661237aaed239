// Row loops of the busiest blends, one unit per instruction set. The scalar
// unit runs the per-pixel operations of RPixelOps.h and is the reference:
// every other unit writes the same bytes, which the differential tests check.
// Callers take the table once per drawing call with Raster_PixelRows().
#pragma once

#include "platform/CpuLevel.h"
#include "raster/RBilinearSample.h"

#include <cstdint>

struct RPixelRows {
  // RPixel::CopyAlpha of each source pixel over dst at weight w (1..256).
  void (*alphaBlend)(uint32_t* dst, const uint32_t* src, int32_t count, int32_t w);
  // RPixel::Copy toward the colour's red, green and blue, with w as the
  // source alpha, at weight w (1..255): the fill's interpolation.
  void (*fillCopy)(uint32_t* dst, int32_t count, uint32_t colour, int32_t w);
  // RPixel::Copy toward the whole colour at weight w x coverage / 256 per
  // pixel (w 1..256); a zero coverage byte leaves its pixel.
  void (*maskCopy)(uint32_t* dst, const uint8_t* coverage, int32_t count, uint32_t colour,
                   int32_t w);
  // count bilinear samples of src at the 16.16 positions (x, y), (x + stepX,
  // y + stepY), ...; a position outside src gives 0 (a transparent pixel).
  void (*bilinearSpan)(uint32_t* out, const RSampleSource& src, int64_t x, int64_t y, int64_t stepX,
                       int64_t stepY, int32_t count);
  // The two above fused: RPixel::CopyAlpha of each bilinear sample over dst
  // at weight w (1..256); positions outside src leave their pixel.
  void (*bilinearAlphaBlend)(uint32_t* dst, const RSampleSource& src, int64_t x, int64_t y,
                             int64_t stepX, int64_t stepY, int32_t count, int32_t w);
};

const RPixelRows& Raster_ScalarPixelRows();
// The SSE2 unit; null where the build targets no SSE2.
const RPixelRows* Raster_Sse2PixelRows();
// Put the AVX2 unit's rows, and the AVX-512 unit's bilinear rows, into the
// table; each leaves it where the build lacks its set.
void Raster_InstallAvx2PixelRows(RPixelRows& rows);
void Raster_InstallAvx512PixelRows(RPixelRows& rows);
// The table for a level: the SSE2 unit (SSE2 is part of every x86-64
// processor; the scalar one where the build targets no SSE2), then each
// level's rows over it.
RPixelRows Raster_PixelRowsFor(CpuLevel level);
// The fastest rows this build and processor support, filled once.
const RPixelRows& Raster_PixelRows();
