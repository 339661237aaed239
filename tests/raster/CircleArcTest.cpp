#include "raster/RArc.h"
#include "raster/RCircle.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr float kHalfPi = 1.5707963705062866f;

std::vector<PixelPosition> Circle(float cx, float cy, float r, bool antialias) {
  auto bitmap = FilledBitmap(100, 100, 0);
  Raster_DrawCircle(bitmap.get(), cx, cy, r, kWhite, 1.0f, RBlend::Copy, antialias);
  return ChangedPixels(*bitmap, 0);
}

std::vector<PixelPosition> Arc(float a1, float a2, bool antialias = false) {
  auto bitmap = FilledBitmap(100, 100, 0);
  Raster_DrawArc(bitmap.get(), 50, 50, 10, a1, a2, kWhite, 1.0f, RBlend::Copy, antialias);
  return ChangedPixels(*bitmap, 0);
}

bool Has(const std::vector<PixelPosition>& pixels, PixelPosition p) {
  return std::find(pixels.begin(), pixels.end(), p) != pixels.end();
}

TEST(DrawCircle, PlainCircleTouchesItsFourExtremePoints) {
  const auto pixels = Circle(50, 50, 10, false);
  for (PixelPosition p : {PixelPosition{50, 40}, {60, 50}, {50, 60}, {40, 50}})
    EXPECT_TRUE(Has(pixels, p));
  for (const PixelPosition& p : pixels) {
    const int32_t dx = p.x - 50, dy = p.y - 50;
    EXPECT_NEAR(dx * dx + dy * dy, 100, 10) << p.x << "," << p.y;
    EXPECT_TRUE(Has(pixels, {100 - p.x, p.y}));  // symmetric about both axes
    EXPECT_TRUE(Has(pixels, {p.x, 100 - p.y}));
  }
}

// Radius 2 is the 5 x 5 plain mask at (8, 8); 2.01 goes through the
// midpoint code with R = 2: the four extremes, then at x = 1 (d = -2):
// (10 +- 1, 10 +- 2) and (10 +- 2, 10 +- 1) - twelve pixels.
TEST(DrawCircle, SmallRadiiUseTheirMasksButNotNearbyRadii) {
  const std::vector<PixelPosition> mask{{10, 8},  {9, 9},  {11, 9},  {8, 10},
                                        {12, 10}, {9, 11}, {11, 11}, {10, 12}};
  EXPECT_EQ(Circle(10, 10, 2.0f, false), mask);
  const auto outline = Circle(10, 10, 2.01f, false);
  EXPECT_EQ(outline.size(), 12u);
  EXPECT_TRUE(Has(outline, {9, 8}));
  EXPECT_TRUE(Has(outline, {12, 11}));
  // The anti-aliased 1.5 mask has 15 in its centre pixels: Copy of white onto
  // black at weight 256 x 15 / 256 = 15 leaves 15 in every byte.
  auto bitmap = FilledBitmap(10, 10, 0);
  Raster_DrawCircle(bitmap.get(), 3.5f, 3.5f, 1.5f, kWhite, 1.0f, RBlend::Copy, true);
  EXPECT_EQ(PixelAt(*bitmap, 3, 3), 0x0F0F0F0Fu);
  EXPECT_EQ(PixelAt(*bitmap, 2, 2), 0x4F4F4F4Fu);  // corner 79
}

// Radius 10.5 at weight 256: h = 10, f = 0.5, outer extremes at 128 and
// inner at 128; at i = 6: B = sqrt(110.25 - 36) = 8.6168, H = 8,
// j = trunc(0.6168 x 256) = 157: (56, 41) outer at 157, (56, 42) inner at 99.
TEST(DrawCircle, AntialiasedCoverageSplitsByTheFraction) {
  auto bitmap = FilledBitmap(100, 100, 0);
  Raster_DrawCircle(bitmap.get(), 50, 50, 10.5f, kWhite, 1.0f, RBlend::Copy, true);
  EXPECT_EQ(PixelAt(*bitmap, 50, 39) & 0xFF, 128u);
  EXPECT_EQ(PixelAt(*bitmap, 50, 40) & 0xFF, 128u);
  EXPECT_EQ(PixelAt(*bitmap, 56, 41) & 0xFF, 157u);
  EXPECT_EQ(PixelAt(*bitmap, 56, 42) & 0xFF, 99u);
}

// Radius 10.5 at i = 7: B = sqrt(110.25 - 49) = 7.8262, H = 7, n(7) =
// trunc(8.3262) = 8, j = trunc(0.8262 x 256) = 211. As i != n, the inner
// pixel (xc + H, yc - i) is listed again as (xc + i, yc - H): both are
// (57, 43), plotted twice at 256 - 211 = 45, and so are (43, 43) and, by
// (xc +- i, yc + H) and (xc +- H, yc + i), (57, 57) and (43, 57). White onto
// black: 255 + (0 - 255) x 211 / 256 = 45, then 255 + (45 - 255) x 211 / 256
// = 82. Its outer neighbour (57, 42) gets j once: 211.
TEST(DrawCircle, AntialiasedOutlinePlotsEveryListedPixel) {
  auto bitmap = FilledBitmap(100, 100, 0);
  Raster_DrawCircle(bitmap.get(), 50, 50, 10.5f, kWhite, 1.0f, RBlend::Copy, true);
  for (PixelPosition p : {PixelPosition{57, 43}, {43, 43}, {57, 57}, {43, 57}}) {
    EXPECT_EQ(PixelAt(*bitmap, p.x, p.y), 0x52525252u) << p.x << "," << p.y;
  }
  EXPECT_EQ(PixelAt(*bitmap, 57, 42), 0xD3D3D3D3u);
}

TEST(DrawCircle, NothingForNegativeRadiusOrFarOutside) {
  EXPECT_TRUE(Circle(50, 50, -1, false).empty());
  EXPECT_TRUE(Circle(-20, 50, 10, true).empty());
  EXPECT_TRUE(Circle(50, 1e30f, 10, true).empty());
  // Partly outside: clipped, no stray writes.
  EXPECT_FALSE(Circle(2, 2, 30, true).empty());
}

TEST(DrawArc, QuarterFromUpToRightDrawsTheUpperRightOutlineOnly) {
  const auto circle = Circle(50, 50, 10, false);
  std::vector<PixelPosition> upperRight;
  std::copy_if(circle.begin(), circle.end(), std::back_inserter(upperRight),
               [](PixelPosition p) { return p.x >= 50 && p.y <= 50; });
  EXPECT_EQ(Arc(0, kHalfPi), upperRight);
  EXPECT_EQ(Arc(kHalfPi, 0), upperRight);
}

TEST(DrawArc, FullTurnOrMoreIsTheCircle) {
  EXPECT_EQ(Arc(0, 7), Circle(50, 50, 10, false));
  EXPECT_EQ(Arc(0, 7, true), Circle(50, 50, 10, true));
  // However long the span: 1e30 - 0 and an infinite one are both at least a turn.
  EXPECT_EQ(Arc(0, 1e30f), Circle(50, 50, 10, false));
  EXPECT_EQ(Arc(-INFINITY, 1, true), Circle(50, 50, 10, true));
}

// -7 is brought into the first turn: fmodf(-7, 2 pi) = -0.7168145; the end
// moves by the same -6.2831855 to -0.2168145. That arc lies between about
// ten and eleven-thirty on a clock face: left of and above the centre.
TEST(DrawArc, AnglesBeyondATurnKeepTheirLength) {
  const auto moved = Arc(-7.0f, -6.5f);
  ASSERT_FALSE(moved.empty());
  EXPECT_EQ(moved, Arc(-0.7168145179748535f, -0.2168145179748535f));
  for (const PixelPosition& p : moved) {
    EXPECT_LE(p.x, 50);
    EXPECT_LT(p.y, 50);
  }
  EXPECT_EQ(Arc(7.0f, 7.5f), Arc(7.0f - 6.2831854820251465f, 7.5f - 6.2831854820251465f));
}

TEST(DrawArc, EmptyOrInvalidArcsDrawNothing) {
  EXPECT_TRUE(Arc(1, 1).empty());
  EXPECT_TRUE(Arc(0, NAN).empty());
  EXPECT_TRUE(Arc(INFINITY, INFINITY).empty());
  auto bitmap = FilledBitmap(10, 10, 0);
  Raster_DrawArc(bitmap.get(), 5, 5, 3, 0, 1, kWhite, 0.001f, RBlend::Copy, true);
  Raster_DrawArc(bitmap.get(), 5, 5, 3, 0, 1, kWhite, 1.0f, 0xF0, true);
  EXPECT_TRUE(ChangedPixels(*bitmap, 0).empty());
}

}  // namespace
