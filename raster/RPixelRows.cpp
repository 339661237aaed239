#include "raster/RPixelRows.h"

#include "raster/RPixelOps.h"

namespace {

void AlphaBlend(uint32_t* dst, const uint32_t* src, int32_t count, int32_t w) {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t p = src[i];
    RPixel::CopyAlpha::Apply(dst + i, RPixel::Red(p), RPixel::Green(p), RPixel::Blue(p),
                             RPixel::Alpha(p), w);
  }
}

void FillCopy(uint32_t* dst, int32_t count, uint32_t colour, int32_t w) {
  const int32_t r = RPixel::Red(colour), g = RPixel::Green(colour), b = RPixel::Blue(colour);
  for (int32_t i = 0; i < count; ++i) RPixel::Copy::Apply(dst + i, r, g, b, w, w);
}

void MaskCopy(uint32_t* dst, const uint8_t* coverage, int32_t count, uint32_t colour, int32_t w) {
  const int32_t r = RPixel::Red(colour), g = RPixel::Green(colour), b = RPixel::Blue(colour);
  const int32_t a = RPixel::Alpha(colour);
  for (int32_t i = 0; i < count; ++i) {
    if (coverage[i] != 0) RPixel::Copy::Apply(dst + i, r, g, b, a, w * coverage[i] / 256);
  }
}

void BilinearSpan(uint32_t* out, const RSampleSource& src, int64_t x, int64_t y, int64_t stepX,
                  int64_t stepY, int32_t count) {
  for (int32_t i = 0; i < count; ++i, x += stepX, y += stepY) {
    if (!Raster_BilinearSample(src, x, y, out[i])) out[i] = 0;
  }
}

void BilinearAlphaBlend(uint32_t* dst, const RSampleSource& src, int64_t x, int64_t y,
                        int64_t stepX, int64_t stepY, int32_t count, int32_t w) {
  for (int32_t i = 0; i < count; ++i, x += stepX, y += stepY) {
    uint32_t p;
    if (Raster_BilinearSample(src, x, y, p)) {
      RPixel::CopyAlpha::Apply(dst + i, RPixel::Red(p), RPixel::Green(p), RPixel::Blue(p),
                               RPixel::Alpha(p), w);
    }
  }
}

constexpr RPixelRows kScalarRows{AlphaBlend, FillCopy, MaskCopy, BilinearSpan, BilinearAlphaBlend};

}  // namespace

const RPixelRows& Raster_ScalarPixelRows() { return kScalarRows; }

RPixelRows Raster_PixelRowsFor(CpuLevel level) {
  const RPixelRows* sse2 = Raster_Sse2PixelRows();
  RPixelRows rows = sse2 ? *sse2 : kScalarRows;
  if (level >= CpuLevel::kAvx2) Raster_InstallAvx2PixelRows(rows);
  if (level >= CpuLevel::kAvx512) Raster_InstallAvx512PixelRows(rows);
  return rows;
}

const RPixelRows& Raster_PixelRows() {
  static const RPixelRows rows = Raster_PixelRowsFor(Platform_CpuLevel());
  return rows;
}
