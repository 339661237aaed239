#include "raster/RBlendMask.h"
#include "raster/RBlit.h"
#include "raster/RBlitTransformed.h"
#include "raster/RSoftenCopy.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Pixel (x, y) of a numbered source: 0xFF00yyxx.
std::unique_ptr<RMemBitmap> NumberedBitmap(int32_t width, int32_t height) {
  auto bitmap = FilledBitmap(width, height, 0);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      SetPixel(*bitmap, x, y, 0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
  }
  return bitmap;
}

TEST(Blit, NegativeDestinationShiftsTheSourceWindow) {
  auto src = NumberedBitmap(10, 2);
  auto dst = FilledBitmap(12, 2, 0);
  Raster_Blit(dst.get(), src.get(), -3, 0, nullptr, 1.0f, RBlend::Copy);
  for (int32_t x = 0; x <= 6; ++x)
    EXPECT_EQ(PixelAt(*dst, x, 1), 0xFF000100u | uint32_t(x + 3)) << x;
  EXPECT_EQ(PixelAt(*dst, 7, 0), 0u);
}

// Rows stored last first, as Windows bitmaps store them.
class BottomUpBitmap : public RMemBitmap {
 public:
  BottomUpBitmap(int32_t columns, int32_t rows) : RMemBitmap(columns, rows, 4) {}
  bool IsBottomUp() override { return true; }
};

// Whole rows laid out alike in both bitmaps copy as one run of memory; every
// pairing of row orders, and a block moved within its own bitmap, must still
// land each row where a row-by-row copy puts it.
TEST(Blit, OpaqueCopyOfWholeRowsLandsEveryRowInPlace) {
  constexpr int32_t kWidth = 8, kHeight = 5;
  const auto numbered = [](RBitmap& bitmap) {
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x)
        SetPixel(bitmap, x, y, 0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
    }
  };
  for (const bool sourceBottomUp : {false, true}) {
    for (const bool destinationBottomUp : {false, true}) {
      std::unique_ptr<RMemBitmap> src = std::make_unique<RMemBitmap>(kWidth, kHeight, 4);
      std::unique_ptr<RMemBitmap> dst = std::make_unique<RMemBitmap>(kWidth, kHeight, 4);
      if (sourceBottomUp) src = std::make_unique<BottomUpBitmap>(kWidth, kHeight);
      if (destinationBottomUp) dst = std::make_unique<BottomUpBitmap>(kWidth, kHeight);
      numbered(*src);
      Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, RBlend::Copy);
      EXPECT_EQ(AllPixels(*dst), AllPixels(*src)) << sourceBottomUp << destinationBottomUp;
    }
  }
  // One row up within the bitmap: source and destination overlap.
  auto both = std::make_unique<RMemBitmap>(kWidth, kHeight, 4);
  numbered(*both);
  Raster_Blit(both.get(), both.get(), 0, -1, nullptr, 1.0f, RBlend::Copy);
  for (int32_t y = 0; y < kHeight; ++y)
    EXPECT_EQ(PixelAt(*both, 5, y), 0xFF000005u | uint32_t(std::min(y + 1, kHeight - 1)) << 8) << y;
}

TEST(Blit, SourceRectangleIsClippedToBothBitmaps) {
  auto src = NumberedBitmap(6, 6);
  auto dst = FilledBitmap(4, 4, 0);
  // A negative rect left moves the destination right: column 0 lands at x 3.
  const RRect rect{-2, 1, 100, 3};
  Raster_Blit(dst.get(), src.get(), 1, 0, &rect, 1.0f, RBlend::Copy);
  EXPECT_EQ(PixelAt(*dst, 2, 0), 0u);
  EXPECT_EQ(PixelAt(*dst, 3, 0), 0xFF000100u);
  EXPECT_EQ(PixelAt(*dst, 3, 1), 0xFF000200u);
  EXPECT_EQ(PixelAt(*dst, 3, 2), 0u);
  Raster_BlitRect(dst.get(), src.get(), 0, 3, 4, 5, 9, 9, 1.0f, RBlend::Copy);
  EXPECT_EQ(PixelAt(*dst, 0, 3), 0xFF000504u);
  EXPECT_EQ(PixelAt(*dst, 1, 3), 0xFF000505u);
  EXPECT_EQ(PixelAt(*dst, 2, 3), 0u);
}

TEST(Blit, ChannelCopyMovesOneByteOnly) {
  auto src = FilledBitmap(2, 1, 0xA1B2C3D4);
  auto dst = FilledBitmap(2, 1, 0x11223344);
  // 0xF7: destination byte 1 (green), source byte 3 (alpha).
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 0.01f, 0xF7);
  EXPECT_EQ(PixelAt(*dst, 1, 0), 0x1122A144u);
  // 0xF0 copies blue into blue.
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, 0xF0 | RBlendUseAlpha);
  EXPECT_EQ(PixelAt(*dst, 0, 0), 0x1122A1D4u);
}

TEST(Blit, HalfOpacityCopyAveragesWholeWords) {
  // (0xFF0000FF >> 1 & 0x7F7F7F7F) + (0x01030000 >> 1 & 0x7F7F7F7F)
  // = 0x7F00007F + 0x00010000.
  auto src = FilledBitmap(1, 1, 0xFF0000FF);
  auto dst = FilledBitmap(1, 1, 0x01030000);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 0.5f, RBlend::Copy);
  EXPECT_EQ(PixelAt(*dst, 0, 0), 0x7F01007Fu);
}

TEST(Blit, NothingForZeroOpacityUnknownOperationOrMissingBitmap) {
  auto src = FilledBitmap(1, 1, 0xFFFFFFFF);
  auto dst = FilledBitmap(1, 1, 0x12345678);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 0.0f, 0xF7);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, 6);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, -1.0f, RBlend::Add);
  Raster_Blit(dst.get(), nullptr, 0, 0, nullptr, 1.0f, RBlend::Copy);
  RMemBitmap empty(0, 0, 4);
  Raster_Blit(dst.get(), &empty, 0, 0, nullptr, 1.0f, RBlend::Copy);
  Raster_Blit(dst.get(), src.get(), 1, 0, nullptr, 1.0f, RBlend::Copy);
  EXPECT_EQ(PixelAt(*dst, 0, 0), 0x12345678u);
}

TEST(BlitTransformed, IdentityReproducesTheSourceExactlyWithBothFilters) {
  auto src = NumberedBitmap(5, 4);
  for (RBlendMode mode : {RBlend::Copy, RBlend::Copy | RBlendBilinear}) {
    auto dst = FilledBitmap(5, 4, 0);
    Raster_BlitTransformed(dst.get(), src.get(), 0, 0, 5, 4, 0, 0, 5, 4, 0.0f, false, 1.0f, mode, 0,
                           0);
    EXPECT_EQ(AllPixels(*dst), AllPixels(*src)) << mode;
  }
}

// Source blue = 50 x column. With offsetX 0.5 the walk starts at X = 0.5:
// column i samples (i, fx = 0.5). Inner columns take
// (TL x 32768 + TR x 32768) >> 16 = 50i + 25; the last column is taken
// without interpolating past the edge.
TEST(BlitTransformed, BilinearInterpolatesInsideAndStopsAtTheLastColumnAndRow) {
  auto src = FilledBitmap(5, 2, 0);
  for (int32_t x = 0; x < 5; ++x) {
    SetPixel(*src, x, 0, 0xFF000000u | uint32_t(50 * x));
    SetPixel(*src, x, 1, 0xFF000000u | uint32_t(50 * x));
  }
  auto dst = FilledBitmap(5, 2, 0);
  Raster_BlitTransformed(dst.get(), src.get(), 0, 0, 5, 2, 0, 0, 5, 2, 0.0f, false, 1.0f,
                         RBlendBilinear, 0.5f, 0);
  for (int32_t x = 0; x < 4; ++x)
    EXPECT_EQ(PixelAt(*dst, x, 0), 0xFF000000u | uint32_t(50 * x + 25)) << x;
  EXPECT_EQ(PixelAt(*dst, 4, 0), 0xFF0000C8u);
  EXPECT_EQ(PixelAt(*dst, 4, 1), 0xFF0000C8u);

  // Rows: green 0x40 above, 0x80 below, offsetY 0.5: row 0 mixes to 0x60,
  // row 1 (the last) is taken as it is.
  auto rows = FilledBitmap(1, 2, 0xFF004000);
  SetPixel(*rows, 0, 1, 0xFF008000);
  auto out = FilledBitmap(1, 2, 0);
  Raster_BlitTransformed(out.get(), rows.get(), 0, 0, 1, 2, 0, 0, 1, 2, 0.0f, false, 1.0f,
                         RBlendBilinear, 0, 0.5f);
  EXPECT_EQ(PixelAt(*out, 0, 0), 0xFF006000u);
  EXPECT_EQ(PixelAt(*out, 0, 1), 0xFF008000u);
}

// A 2 x 1 source into 4 x 1: column step 0.5 from X = 0 samples 0, 0, 1, 1.
TEST(BlitTransformed, NearestScalingRepeatsSourcePixels) {
  auto src = NumberedBitmap(2, 1);
  auto dst = FilledBitmap(4, 1, 0);
  Raster_BlitTransformed(dst.get(), src.get(), 0, 0, 4, 1, 0, 0, 2, 1, 0.0f, false, 1.0f,
                         RBlend::Copy, 0, 0);
  EXPECT_EQ(AllPixels(*dst),
            (std::vector<uint32_t>{0xFF000000u, 0xFF000000u, 0xFF000001u, 0xFF000001u}));
}

TEST(BlitTransformed, ClippingToTheSourceRectangleLeavesOutsideSamples) {
  auto src = NumberedBitmap(4, 1);
  // Source columns 1..2 drawn 1:1 from x = 1 + offset 1: samples columns 2
  // and 3. Clipped to the rectangle only column 2 may be sampled.
  auto clipped = FilledBitmap(2, 1, 0);
  Raster_BlitTransformed(clipped.get(), src.get(), 0, 0, 2, 1, 1, 0, 2, 1, 0.0f, true, 1.0f,
                         RBlend::Copy, 1, 0);
  EXPECT_EQ(AllPixels(*clipped), (std::vector<uint32_t>{0xFF000002u, 0u}));
  auto unclipped = FilledBitmap(2, 1, 0);
  Raster_BlitTransformed(unclipped.get(), src.get(), 0, 0, 2, 1, 1, 0, 2, 1, 0.0f, false, 1.0f,
                         RBlend::Copy, 1, 0);
  EXPECT_EQ(AllPixels(*unclipped), (std::vector<uint32_t>{0xFF000002u, 0xFF000003u}));
  auto noOffset = FilledBitmap(2, 1, 0);
  Raster_BlitTransformed(noOffset.get(), src.get(), 0, 0, 2, 1, 1, 0, 2, 1, 0.0f, true, 1.0f,
                         RBlend::Copy, 0, 0);
  EXPECT_EQ(AllPixels(*noOffset), (std::vector<uint32_t>{0xFF000001u, 0xFF000002u}));
}

TEST(BlitTransformed, NegativeDestinationSkipsColumnsAndKeepsTheWalk) {
  auto src = NumberedBitmap(6, 1);
  auto dst = FilledBitmap(6, 1, 0);
  Raster_BlitTransformed(dst.get(), src.get(), -2, 0, 6, 1, 0, 0, 6, 1, 0.0f, false, 1.0f,
                         RBlend::Copy, 0, 0);
  EXPECT_EQ(PixelAt(*dst, 0, 0), 0xFF000002u);
  EXPECT_EQ(PixelAt(*dst, 3, 0), 0xFF000005u);
  EXPECT_EQ(PixelAt(*dst, 4, 0), 0u);
}

// A negative width mirrors to the left of dstX: (4, -4) covers columns 0-3
// with srcX = 4, srcW = -4. Column step -4 / 4 = -1; startX = 4 - ((1 x -0 +
// 4 x -1 - (-4)) x 0.5 - 0) = 4. The walk samples the rectangle's corners,
// so columns 4 (outside: left alone), 3, 2, 1 - source column 0 is not drawn.
TEST(BlitTransformed, NegativeWidthMirrorsTheWalkFromTheFarCorner) {
  auto src = NumberedBitmap(4, 1);
  auto dst = FilledBitmap(4, 1, 0);
  Raster_BlitTransformed(dst.get(), src.get(), 4, 0, -4, 1, 0, 0, 4, 1, 0.0f, false, 1.0f,
                         RBlend::Copy, 0, 0);
  EXPECT_EQ(AllPixels(*dst), (std::vector<uint32_t>{0u, 0xFF000003u, 0xFF000002u, 0xFF000001u}));
}

TEST(BlendMask, CoverageScalesTheWeightAndClipsAtTheEdges) {
  auto dst = FilledBitmap(3, 1, 0);
  const uint8_t mask[3] = {255, 128, 0};
  // Weights 256 x 255 / 256 = 255 and 128. Copy: s + (x - s) x (256 - v) / 256
  // with x = 0, s = 255: 255 - 255 / 256 = 255; 255 - 255 x 128 / 256 = 128.
  Raster_BlendMask(dst.get(), 0, 0, 0xFF00FF00, mask, 3, 1, 1.0f, RBlend::Copy);
  EXPECT_EQ(AllPixels(*dst), (std::vector<uint32_t>{0xFF00FF00u, 0x80008000u, 0u}));
  // Starting one column left skips the first mask byte.
  auto shifted = FilledBitmap(3, 1, 0);
  Raster_BlendMask(shifted.get(), -1, 0, 0xFF00FF00, mask, 3, 1, 1.0f,
                   RBlend::Copy | RBlendUseAlpha);
  EXPECT_EQ(AllPixels(*shifted), (std::vector<uint32_t>{0x80008000u, 0u, 0u}));
  Raster_BlendMask(shifted.get(), -3, 0, 0xFFFFFFFF, mask, 3, 1, 1.0f, RBlend::Copy);
  Raster_BlendMask(shifted.get(), 0, 0, 0xFFFFFFFF, mask, 3, 1, 0.001f, RBlend::Copy);
  EXPECT_EQ(PixelAt(*shifted, 0, 0), 0x80008000u);
}

TEST(SoftenCopy, RegionOfOnePixelWidthDrawsNothing) {
  auto src = FilledBitmap(4, 4, 0xFFFFFFFF);
  auto dst = FilledBitmap(4, 4, 0);
  Raster_SoftenCopy(dst.get(), src.get(), 0, 0, 0, 0, 1, 4);
  Raster_SoftenCopy(dst.get(), src.get(), 0, 0, 3, 0, 5, 4);  // clipped to one column
  Raster_SoftenCopy(dst.get(), src.get(), 0, 0, 0, 0, 4, 1);
  EXPECT_EQ(ChangedPixels(*dst, 0).size(), 0u);
}

// Blue values of a 3 x 3 region (other bytes 0):
//   16  32  64
//  128 255   8
//   40  80 120
// Worked per byte: half = v >> 1, quarter = v >> 2, eighth = v >> 3.
const uint32_t kSoftenInput[9] = {16, 32, 64, 128, 255, 8, 40, 80, 120};
const uint32_t kSoftenOutput[9] = {
    8 + 32 + 8,             // first row, first column: below and right count a quarter
    16 + 63 + 2 + 8,        // first row: below a quarter, left and right an eighth
    32 + 2 + 8,             // first row, last column
    64 + 2 + 5 + 63,        // first column: above and below an eighth, right a quarter
    127 + 16 + 1 + 4 + 10,  // inner: four eighths
    4 + 8 + 15 + 63,        // last column
    20 + 32 + 20,           // last row, first column
    40 + 63 + 5 + 15,       // last row
    60 + 2 + 20,            // last row, last column
};

TEST(SoftenCopy, KernelWeightsDependOnThePositionInTheRegion) {
  auto src = FilledBitmap(3, 3, 0);
  for (int i = 0; i < 9; ++i) SetPixel(*src, i % 3, i / 3, kSoftenInput[i]);
  auto dst = FilledBitmap(3, 3, 0xDEADBEEF);
  Raster_SoftenCopy(dst.get(), src.get(), 0, 0, 0, 0, 3, 3);
  EXPECT_EQ(AllPixels(*dst), std::vector<uint32_t>(kSoftenOutput, kSoftenOutput + 9));
}

TEST(SoftenCopy, InPlaceAndShiftedInPlaceMatchACopyToAnotherBitmap) {
  auto original = FilledBitmap(6, 5, 0);
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 6; ++x)
      SetPixel(*original, x, y, 0x01000000u * uint32_t(x * 40 + y) + uint32_t(x * y * 9));
  }
  auto separate = FilledBitmap(6, 5, 0);
  Raster_SoftenCopy(separate.get(), original.get(), 0, 0, 0, 0, 6, 5);
  auto inPlace = FilledBitmap(6, 5, 0);
  Raster_Blit(inPlace.get(), original.get(), 0, 0, nullptr, 1.0f, RBlend::Copy);
  Raster_SoftenCopy(inPlace.get(), inPlace.get(), 0, 0, 0, 0, 6, 5);
  EXPECT_EQ(AllPixels(*inPlace), AllPixels(*separate));

  // Region (0, 0, 4 x 4) drawn one pixel down and right within the same bitmap.
  auto shiftedExpected = FilledBitmap(6, 5, 0);
  Raster_Blit(shiftedExpected.get(), original.get(), 0, 0, nullptr, 1.0f, RBlend::Copy);
  Raster_SoftenCopy(shiftedExpected.get(), original.get(), 1, 1, 0, 0, 4, 4);
  auto shifted = FilledBitmap(6, 5, 0);
  Raster_Blit(shifted.get(), original.get(), 0, 0, nullptr, 1.0f, RBlend::Copy);
  Raster_SoftenCopy(shifted.get(), shifted.get(), 1, 1, 0, 0, 4, 4);
  EXPECT_EQ(AllPixels(*shifted), AllPixels(*shiftedExpected));
}

// Sampling by a plain copy into a transparent scratch and then alpha
// blitting must give what the rotated alpha blit gives in one go: pixels
// the walk does not reach stay transparent, and transparent pixels leave
// the destination alone.
TEST(BlitTransformed, RotatedAlphaBlendEqualsSamplingThenBlending) {
  auto knob = FilledBitmap(9, 9, 0);
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 9; ++x)
      SetPixel(*knob, x, y, uint32_t(x * 29 + y * 31) << 24 | uint32_t(x * 7919 + y * 104729));
  }
  for (RBlendMode filter : {0u, RBlendBilinear}) {
    auto direct = FilledBitmap(11, 11, 0xFF204060);
    Raster_BlitTransformed(direct.get(), knob.get(), 1, 1, 9, 9, 0, 0, 9, 9, 0.7f, false, 1.0f,
                           RBlend::Copy | RBlendUseAlpha | filter, 0, 0);
    auto scratch = FilledBitmap(11, 11, 0);
    Raster_BlitTransformed(scratch.get(), knob.get(), 1, 1, 9, 9, 0, 0, 9, 9, 0.7f, false, 1.0f,
                           RBlend::Copy | filter, 0, 0);
    auto viaScratch = FilledBitmap(11, 11, 0xFF204060);
    Raster_Blit(viaScratch.get(), scratch.get(), 0, 0, nullptr, 1.0f,
                RBlend::Copy | RBlendUseAlpha);
    EXPECT_EQ(AllPixels(*direct), AllPixels(*viaScratch)) << filter;
  }
}

}  // namespace
