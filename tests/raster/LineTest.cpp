#include "raster/RLine.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

TEST(ClipLine, MovesEndsOntoTheBorderByTheirHighestPriorityBit) {
  // First end (-5, -5) has left and above: above first, x = -5 - 20 x -5 / 20 = 0.
  // Second end (15, 15): below first, x = 0 + 15 x (10 - 0) / 15 = 10, y = 9;
  // then right: y = 0 + 9 x (10 - 0) / 10 = 9.
  int32_t x1 = -5, y1 = -5, x2 = 15, y2 = 15;
  ASSERT_TRUE(Raster_ClipLine(x1, y1, x2, y2, 10, 10));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(x2, 9);
  EXPECT_EQ(y2, 9);
  int32_t a = -10, b = 5, c = -1, d = 5;
  EXPECT_FALSE(Raster_ClipLine(a, b, c, d, 10, 10));
  // y = -x - 2 passes the corner outside: the first end moves to (0, -2),
  // which shares "above" with the second.
  a = -3, b = 1, c = 1, d = -3;
  EXPECT_FALSE(Raster_ClipLine(a, b, c, d, 10, 10));
  // y = 1 - x: first end to x 0, y = 4 - (-7) x (-3) / 7 = 1; second end to
  // y 0, x = 0 - 4 x 1 / (-4) = 1.
  a = -3, b = 4, c = 4, d = -3;
  ASSERT_TRUE(Raster_ClipLine(a, b, c, d, 10, 10));
  EXPECT_EQ((std::vector<int32_t>{a, b, c, d}), (std::vector<int32_t>{0, 1, 1, 0}));
}

TEST(DrawLine, HorizontalAndVerticalRunsIncludeBothEnds) {
  auto bitmap = FilledBitmap(8, 8, 0);
  Raster_DrawLine(bitmap.get(), 5, 5, 1, 5, kWhite, 1.0f, RBlend::Copy, true);
  EXPECT_EQ(ChangedPixels(*bitmap, 0),
            (std::vector<PixelPosition>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
  auto single = FilledBitmap(4, 4, 0);
  Raster_DrawLine(single.get(), 2, 2, 2, 2, kWhite, 1.0f, RBlend::Copy, false);
  EXPECT_EQ(ChangedPixels(*single, 0), (std::vector<PixelPosition>{{2, 2}}));
  auto vertical = FilledBitmap(4, 4, 0);
  Raster_DrawLine(vertical.get(), 1, 3, 1, 1, kWhite, 1.0f, RBlend::Copy, false);
  EXPECT_EQ(ChangedPixels(*vertical, 0), (std::vector<PixelPosition>{{1, 1}, {1, 2}, {1, 3}}));
}

TEST(DrawLine, CopyAtExactOpacitiesUsesWholeWords) {
  const auto drawn = [](float opacity) {
    auto bitmap = FilledBitmap(3, 1, 0xFF000000);
    Raster_DrawLine(bitmap.get(), 0, 0, 2, 0, 0x120000FF, opacity, RBlend::Copy, false);
    return PixelAt(*bitmap, 1, 0);
  };
  EXPECT_EQ(drawn(1.0f), 0x120000FFu);  // the colour word, its alpha included
  // 0.5: half(c) 0x0900007F + half(dst) 0x7F000000.
  EXPECT_EQ(drawn(0.5f), 0x8800007Fu);
  // 0.25: half(dst) 0x7F000000 + quarter(c) 0x0400003F + quarter(dst) 0x3F000000.
  EXPECT_EQ(drawn(0.25f), 0xC200003Fu);
  // 0.75: half(c) 0x0900007F + quarter(c) 0x0400003F + quarter(dst) 0x3F000000.
  EXPECT_EQ(drawn(0.75f), 0x4C0000BEu);
  // w = 128 reached from 0.501: byte average (0xFF + 0x12) >> 1 = 0x88, 0xFF >> 1.
  EXPECT_EQ(drawn(0.501f), 0x8800007Fu);
}

// (0, 0) to (10, 3): slope = 3 x 65536 / 10 = 19660. From both ends at once:
// accumulator 19660, 39320 (minor step, -26216), -6556, 13104, 32764; the
// tenth column is even so the middle (5, 1) is drawn once more.
TEST(DrawLine, PlainLineSetsOnePixelPerColumnFromBothEnds) {
  auto bitmap = FilledBitmap(12, 5, 0);
  Raster_DrawLine(bitmap.get(), 0, 0, 10, 3, kWhite, 1.0f, RBlend::Copy, false);
  std::vector<PixelPosition> expected{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1},
                                      {6, 2}, {7, 2}, {8, 2}, {9, 3}, {10, 3}};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ChangedPixels(*bitmap, 0), expected);
  // Drawn the other way round, the same pixels.
  auto reversed = FilledBitmap(12, 5, 0);
  Raster_DrawLine(reversed.get(), 10, 3, 0, 0, kWhite, 1.0f, RBlend::Copy, false);
  EXPECT_EQ(ChangedPixels(*reversed, 0), expected);
}

// Copy of white onto black at weight v leaves 255 - trunc(255 x (256 - v) /
// 256) = v (v < 256) in every byte, so the bytes show the weights.
// Accumulator 19660 -> t 76, 39320 -> 153, 58980 -> 230 (minor step after),
// 13104 -> 51, final 32764 -> 127.
TEST(DrawLine, AntialiasedLineSharesEachColumnBetweenTwoPixels) {
  auto bitmap = FilledBitmap(12, 5, 0);
  Raster_DrawLine(bitmap.get(), 0, 0, 10, 3, kWhite, 1.0f, RBlend::Copy, true);
  const auto weight = [&](int32_t x, int32_t y) { return PixelAt(*bitmap, x, y) & 0xFF; };
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), kWhite);
  EXPECT_EQ(PixelAt(*bitmap, 10, 3), kWhite);
  const struct {
    int32_t x, y, near, far;  // pixel (x, y) at near, (x, y + 1) at far
  } columns[] = {{1, 0, 179, 76}, {2, 0, 102, 153}, {3, 0, 25, 230},
                 {4, 1, 204, 51}, {5, 1, 128, 127}, {6, 1, 51, 204},
                 {7, 2, 230, 25}, {8, 2, 153, 102}, {9, 2, 76, 179}};
  for (const auto& c : columns) {
    EXPECT_EQ(weight(c.x, c.y), uint32_t(c.near)) << c.x;
    EXPECT_EQ(weight(c.x, c.y + 1), uint32_t(c.far)) << c.x;
    EXPECT_EQ(c.near + c.far, 255);
  }
  EXPECT_EQ(ChangedPixels(*bitmap, 0).size(), 2u + 2u * 9u);
}

TEST(DrawLine, AntialiasedDiagonalFillsEachStep) {
  auto bitmap = FilledBitmap(4, 4, 0);
  Raster_DrawLine(bitmap.get(), 0, 0, 2, 2, kWhite, 1.0f, RBlend::Copy, true);
  // Diagonal pixels: half(c) + quarter(c) + quarter(0) = 0x7F.. + 0x3F..;
  // step pixels: quarter(c).
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(PixelAt(*bitmap, i, i), 0xBEBEBEBEu);
  for (PixelPosition p : {PixelPosition{1, 0}, {0, 1}, {2, 1}, {1, 2}})
    EXPECT_EQ(PixelAt(*bitmap, p.x, p.y), 0x3F3F3F3Fu);
  EXPECT_EQ(ChangedPixels(*bitmap, 0).size(), 7u);
  // Other operations plot at w x 3 / 4 = 192 and w / 4 = 64: Add of 255
  // gives 255 x 192 / 256 = 191 and 255 x 64 / 256 = 63.
  auto added = FilledBitmap(4, 4, 0);
  Raster_DrawLine(added.get(), 2, 2, 0, 0, 0x00FF0000, 1.0f, RBlend::Add, true);
  EXPECT_EQ(PixelAt(*added, 1, 1), 0x00BF0000u);
  EXPECT_EQ(PixelAt(*added, 2, 1), 0x003F0000u);
}

TEST(DrawLine, ClippedToTheBitmapAndNothingOutside) {
  auto bitmap = FilledBitmap(10, 5, 0);
  Raster_DrawLine(bitmap.get(), -10, 2, -1, 2, kWhite, 1.0f, RBlend::Copy, false);
  Raster_DrawLine(bitmap.get(), -10, -10, -1, 30, kWhite, 1.0f, RBlend::Copy, true);
  EXPECT_EQ(ChangedPixels(*bitmap, 0).size(), 0u);
  Raster_DrawLine(bitmap.get(), -5, 2, 20, 2, kWhite, 1.0f, RBlend::Copy, false);
  const auto changed = ChangedPixels(*bitmap, 0);
  ASSERT_EQ(changed.size(), 10u);
  EXPECT_EQ(changed.front(), (PixelPosition{0, 2}));
  EXPECT_EQ(changed.back(), (PixelPosition{9, 2}));
  // Far outside in both directions, anti-aliased: only border-bounded pixels.
  Raster_DrawLine(bitmap.get(), -1000000, -7, 1000000, 13, kWhite, 1.0f, RBlend::Add, true);
  Raster_DrawLine(bitmap.get(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kWhite, 1.0f,
                  RBlend::Copy, true);
}

TEST(DrawLine, ZeroWeightOrUnknownOperationDrawsNothing) {
  auto bitmap = FilledBitmap(4, 4, 0);
  Raster_DrawLine(bitmap.get(), 0, 0, 3, 1, kWhite, 0.001f, RBlend::Copy, true);
  Raster_DrawLine(bitmap.get(), 0, 0, 3, 1, kWhite, 1.0f, 6, true);
  Raster_DrawLine(nullptr, 0, 0, 3, 1, kWhite, 1.0f, RBlend::Copy, true);
  EXPECT_EQ(ChangedPixels(*bitmap, 0).size(), 0u);
}

}  // namespace
