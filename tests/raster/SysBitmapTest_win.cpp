#include "raster/RBlit.h"
#include "raster/RFill.h"
#include "raster/RSysBitmap.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(SysBitmap, ReusesItsSectionForAnySizeThatFits) {
  RSysBitmap bitmap(100, 100);
  ASSERT_NE(bitmap.Pixels(), nullptr);
  ASSERT_NE(bitmap.DeviceContext(), nullptr);
  EXPECT_EQ(bitmap.RowSpan(), 100);
  uint32_t* const section = bitmap.Pixels();

  EXPECT_TRUE(bitmap.Resize(50, 50));
  EXPECT_EQ(bitmap.Width(), 50);
  EXPECT_EQ(bitmap.Height(), 50);
  EXPECT_EQ(bitmap.RowSpan(), 100);
  EXPECT_EQ(bitmap.Pixels(), section);
  EXPECT_FALSE(bitmap.Resize(50, 50));

  // Wider than the section: a new one, 101 rounded up to 104.
  EXPECT_TRUE(bitmap.Resize(101, 10));
  EXPECT_EQ(bitmap.RowSpan(), 104);
  EXPECT_EQ(bitmap.Width(), 101);
  EXPECT_NE(bitmap.Pixels(), nullptr);

  // Any non-zero size within the section keeps it, a negative one too; the
  // drawing code sees no area in it.
  uint32_t* const wider = bitmap.Pixels();
  EXPECT_TRUE(bitmap.Resize(-5, 10));
  EXPECT_EQ(bitmap.Width(), -5);
  EXPECT_EQ(bitmap.RowSpan(), 104);
  EXPECT_EQ(bitmap.Pixels(), wider);
  Raster_FillRect(&bitmap, 0, 0, 4, 4, 0xFFFFFFFF, 1.0f, 0);
}

TEST(SysBitmap, ZeroSizeReleasesTheSection) {
  RSysBitmap bitmap(8, 8);
  EXPECT_FALSE(bitmap.Resize(0, 0));
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_TRUE(bitmap.Resize(3, 2));
  EXPECT_EQ(bitmap.RowSpan(), 4);
  EXPECT_NE(bitmap.Pixels(), nullptr);
  RSysBitmap empty(0, 0);
  EXPECT_EQ(empty.Pixels(), nullptr);
  EXPECT_NE(empty.DeviceContext(), nullptr);
}

// GDI and the raster code see the same top-down pixels: GDI writes
// COLORREF 0x00BBGGRR as the word 0x00RRGGBB.
TEST(SysBitmap, DeviceContextDrawsIntoTheSamePixels) {
  RSysBitmap bitmap(6, 4);
  Raster_FillRect(&bitmap, 0, 0, 6, 4, 0xFF000000, 1.0f, 0);
  HDC dc = reinterpret_cast<HDC>(bitmap.DeviceContext());
  SetPixel(dc, 1, 2, RGB(0x12, 0x34, 0x56));
  GdiFlush();
  EXPECT_EQ(bitmap.Pixels()[2 * bitmap.RowSpan() + 1], 0x00123456u);
  bitmap.Pixels()[3 * bitmap.RowSpan() + 4] = 0xFFABCDEF;
  EXPECT_EQ(GetPixel(dc, 4, 3), RGB(0xAB, 0xCD, 0xEF));
}

}  // namespace
