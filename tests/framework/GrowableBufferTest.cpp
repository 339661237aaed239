#include "framework/IGrowableBuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

TEST(GrowableBuffer, PageGranularityLeavesRoomForHeapBookkeeping) {
  IGrowableBuffer a(4096), b(4096), c(4096);
  a.Resize(8, false);
  b.Resize(4000, false);
  c.Resize(20000, false);
  EXPECT_EQ(a.Allocated(), 4000);
  EXPECT_EQ(b.Allocated(), 8096);
  // g = 10000 rounded down to 8192; (20000 + 8192 + 96) & ~4095 = 28672; − 96.
  EXPECT_EQ(c.Allocated(), 24480);
}

TEST(GrowableBuffer, SmallGranularityGrowsByTheStep) {
  IGrowableBuffer s(128);
  s.Resize(10, false);
  EXPECT_EQ(s.Allocated(), 138);
  // 300 + 150.
  s.Resize(300, false);
  EXPECT_EQ(s.Allocated(), 450);
}

TEST(GrowableBuffer, GrowingWithinTheAllocationKeepsStorage) {
  IGrowableBuffer b(4096);
  uint8_t* first = b.Resize(100, false);
  EXPECT_EQ(b.Resize(3900, false), first);
  EXPECT_EQ(b.Allocated(), 4000);
  EXPECT_EQ(b.Size(), 3900);
}

TEST(GrowableBuffer, EmptyingWithAndWithoutShrink) {
  IGrowableBuffer kept(4096), released(4096);
  kept.Resize(5000, false);
  released.Resize(5000, false);

  EXPECT_EQ(kept.Resize(0, false), nullptr);
  EXPECT_NE(kept.Data(), nullptr);
  EXPECT_EQ(kept.Size(), 0);
  EXPECT_GT(kept.Allocated(), 0);

  EXPECT_EQ(released.Resize(0, true), nullptr);
  EXPECT_EQ(released.Data(), nullptr);
  EXPECT_EQ(released.Allocated(), 0);
  EXPECT_EQ(released.Size(), 0);
}

TEST(GrowableBuffer, NegativeSizeCountsAsZero) {
  IGrowableBuffer b(4096);
  b.Resize(64, false);
  EXPECT_EQ(b.Resize(-5, true), nullptr);
  EXPECT_EQ(b.Size(), 0);
  EXPECT_EQ(b.Allocated(), 0);
}

TEST(GrowableBuffer, SameSizeWithoutShrinkChangesNothing) {
  IGrowableBuffer b(4096);
  uint8_t* data = b.Resize(1000, false);
  std::memset(data, 0x5A, 1000);
  EXPECT_EQ(b.Resize(1000, false), data);
  EXPECT_EQ(b.Allocated(), 4000);
  EXPECT_EQ(data[999], 0x5A);
}

TEST(GrowableBuffer, ShrinksOnlyBelowTheThreshold) {
  IGrowableBuffer b(4096);
  b.Resize(100000, false);
  const int32_t big = b.Allocated();
  // Threshold: min(big / 2, big − 16384) = 73680. 80000 stays above it.
  b.Resize(80000, true);
  EXPECT_EQ(b.Allocated(), big);
  b.Resize(1000, true);
  EXPECT_EQ(b.Allocated(), 4000);
  EXPECT_EQ(b.Size(), 1000);
}

TEST(GrowableBuffer, GrowthStepIsCappedAtFourMiB) {
  IGrowableBuffer b(4096);
  const int32_t request = 20 * 1024 * 1024;
  b.Resize(request, false);
  // Half the request (10 MiB) is limited to a 4 MiB step.
  EXPECT_EQ(b.Allocated(), (request + 4194304 + 96) / 4096 * 4096 - 96);
}

TEST(GrowableBuffer, ContentsSurviveGrowth) {
  IGrowableBuffer b(128);
  for (int i = 0; i < 1000; ++i) {
    const uint8_t byte = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(b.Append(&byte, 1));
  }
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(b.Data()[i], static_cast<uint8_t>(i * 7));
}

// Simulates an exhausted heap: every request over a limit fails.
struct FailingHeap {
  static inline size_t limit = 0;
  static inline int failures = 0;
  static void* Reallocate(void* block, size_t bytes) {
    if (bytes > limit) {
      ++failures;
      return nullptr;
    }
    return std::realloc(block, bytes);
  }
  static void* Allocate(size_t bytes) {
    if (bytes > limit) {
      ++failures;
      return nullptr;
    }
    return std::malloc(bytes);
  }
  static void Release(void* block) { std::free(block); }
};

class GrowableBufferAllocationFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    FailingHeap::limit = 1u << 20;
    FailingHeap::failures = 0;
    previous = IGrowableBuffer::SetAllocatorForTesting(
        {FailingHeap::Reallocate, FailingHeap::Allocate, FailingHeap::Release});
  }
  void TearDown() override { IGrowableBuffer::SetAllocatorForTesting(previous); }
  IBufferAllocator previous{};
};

TEST_F(GrowableBufferAllocationFailure, KeepsOldStorageAndSize) {
  IGrowableBuffer b(4096);
  uint8_t* data = b.Resize(3000, false);
  std::memset(data, 0x11, 3000);
  EXPECT_EQ(b.Resize(2 << 20, false), data);
  EXPECT_EQ(FailingHeap::failures, 2);  // realloc, then a fresh block
  EXPECT_EQ(b.Size(), 3000);
  EXPECT_EQ(b.Allocated(), 4000);
  EXPECT_EQ(data[2999], 0x11);
}

TEST_F(GrowableBufferAllocationFailure, FailedAppendAppendsNothing) {
  IGrowableBuffer b(4096);
  std::vector<uint8_t> big(2 << 20, 1);
  EXPECT_FALSE(b.Append(big.data(), static_cast<int32_t>(big.size())));
  EXPECT_EQ(b.Size(), 0);
  EXPECT_EQ(b.Data(), nullptr);
}

TEST(GrowableBuffer, SizeNearTwoGiBFailsInsteadOfWrapping) {
  IGrowableBuffer b(4096);
  b.Resize(16, false);
  EXPECT_NE(b.Resize(INT32_MAX - 10, false), nullptr);
  EXPECT_EQ(b.Size(), 16);
}

}  // namespace
