#include "raster/RMemBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MemBitmap, EmptyWhenEitherSizeIsNotPositive) {
  RMemBitmap bitmap(0, 10, 4);
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
}

TEST(MemBitmap, RowsAlignToFourPixelsAndGrowWithHeadroom) {
  RMemBitmap bitmap(5, 2, 4);
  EXPECT_EQ(bitmap.RowSpan(), 8);
  EXPECT_EQ(bitmap.Capacity(), 64);  // 2 rows x 8 pixels x 4 bytes
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap.Pixels()) % 64, 0u);
  EXPECT_FALSE(bitmap.Resize(5, 2));
  EXPECT_TRUE(bitmap.Resize(6, 3));
  EXPECT_EQ(bitmap.Capacity(), 120);  // needs 96 bytes; (96 / 4) x 5
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap.Pixels()) % 64, 0u);
  // Shrinking keeps the block.
  EXPECT_TRUE(bitmap.Resize(1, 1));
  EXPECT_EQ(bitmap.Capacity(), 120);
  EXPECT_EQ(bitmap.RowSpan(), 4);
  // Growing within the capacity reuses it: 3 rows x 8 x 4 = 96 <= 120.
  EXPECT_TRUE(bitmap.Resize(8, 3));
  EXPECT_EQ(bitmap.Capacity(), 120);
}

TEST(MemBitmap, AlignmentIsTheLowestSetBitOfTheArgument) {
  EXPECT_EQ(RMemBitmap(5, 1, 1).RowSpan(), 5);
  EXPECT_EQ(RMemBitmap(5, 1, 0).RowSpan(), 5);
  EXPECT_EQ(RMemBitmap(5, 1, 12).RowSpan(), 8);  // lowest bit of 12 is 4
  EXPECT_EQ(RMemBitmap(5, 1, 2).RowSpan(), 6);
}

TEST(MemBitmap, ResizeToNothingFreesTheBlock) {
  RMemBitmap bitmap(4, 4, 4);
  EXPECT_TRUE(bitmap.Resize(0, 4));
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Capacity(), 0);
}

// 100000 x 100000 x 4 bytes wraps to 1345294336 in 32 bits; the bitmap must
// not hand out a block that size for an image that needs 40 GB.
TEST(MemBitmap, ByteCountBeyondThirtyTwoBitsFailsLikeAnAllocationFailure) {
  RMemBitmap bitmap(4, 4, 4);
  EXPECT_TRUE(bitmap.Resize(100000, 100000));
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
  // Just over 2^31 bytes: 23171 rows of 23172 pixels.
  RMemBitmap justOver(23172, 23171, 4);
  EXPECT_EQ(justOver.Pixels(), nullptr);
  EXPECT_EQ(justOver.Width(), 0);
}

}  // namespace
