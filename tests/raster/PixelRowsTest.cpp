// The vector row units against the scalar reference, bit for bit: exhaustive
// over the interpolation every Copy form shares, random rows for the rest
// (odd lengths, so the scalar tails run too).
#include "raster/RPixelRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

class PixelRows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Raster_Sse2PixelRows()) GTEST_SKIP() << "no vector unit in this build";
    for (int32_t level = 0; level <= static_cast<int32_t>(Platform_CpuLevel()); ++level)
      units.push_back(Raster_PixelRowsFor(static_cast<CpuLevel>(level)));
  }
  const RPixelRows& scalar = Raster_ScalarPixelRows();
  std::vector<RPixelRows> units;  // the table of each level this processor runs
  std::mt19937 random{17};

  uint32_t Word() { return static_cast<uint32_t>(random()); }
  int32_t Between(int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
  }
  // Pixels whose alpha avoids the exact shortcuts of 0 and 255 most of the time.
  std::vector<uint32_t> Pixels(int32_t count) {
    std::vector<uint32_t> p(count);
    for (uint32_t& v : p) {
      v = Word();
      if (Between(0, 7) == 0) v &= 0x00FFFFFF;
      if (Between(0, 7) == 0) v |= 0xFF000000;
    }
    return p;
  }
};

// Every destination byte, colour byte and weight of the fill's interpolation.
TEST_F(PixelRows, FillCopyMatchesEveryByteAndWeight) {
  for (const RPixelRows& vector : units) {
    std::vector<uint32_t> row(256);
    for (int32_t w = 1; w <= 255; ++w) {
      for (uint32_t s = 0; s < 256; ++s) {
        for (uint32_t x = 0; x < 256; ++x) row[x] = x * 0x01010101u ^ 0x00FF0000u;
        std::vector<uint32_t> expected = row;
        scalar.fillCopy(expected.data(), 256, s * 0x01010101u, w);
        vector.fillCopy(row.data(), 256, s * 0x01010101u, w);
        ASSERT_EQ(row, expected) << "w " << w << " colour " << s;
      }
    }
  }
}

// At full weight every source alpha over every pair of colour bytes; other
// weights on random rows.
TEST_F(PixelRows, AlphaBlendMatchesAtEveryAlphaAndWeight) {
  for (const RPixelRows& vector : units) {
    std::vector<uint32_t> src(65536), dst(65536);
    for (uint32_t sa = 0; sa < 256; ++sa) {
      for (uint32_t i = 0; i < 65536; ++i) {
        src[i] = sa << 24 | (i & 0xFF) * 0x010101u;
        dst[i] = (i >> 8) * 0x01010101u;
      }
      std::vector<uint32_t> expected = dst;
      scalar.alphaBlend(expected.data(), src.data(), 65536, 256);
      vector.alphaBlend(dst.data(), src.data(), 65536, 256);
      ASSERT_EQ(dst, expected) << "source alpha " << sa;
    }
    for (int32_t w = 1; w <= 256; ++w) {
      const int32_t count = Between(1, 67);
      const std::vector<uint32_t> source = Pixels(count);
      std::vector<uint32_t> actual = Pixels(count), expected = actual;
      scalar.alphaBlend(expected.data(), source.data(), count, w);
      vector.alphaBlend(actual.data(), source.data(), count, w);
      ASSERT_EQ(actual, expected) << "w " << w;
    }
  }
}

TEST_F(PixelRows, MaskCopyMatchesOnRandomCoverage) {
  for (const RPixelRows& vector : units) {
    for (int32_t trial = 0; trial < 2000; ++trial) {
      const int32_t count = Between(1, 67), w = Between(1, 256);
      const uint32_t colour = Word();
      std::vector<uint8_t> coverage(count);
      for (uint8_t& c : coverage) c = Between(0, 2) == 0 ? 0 : static_cast<uint8_t>(Word());
      std::vector<uint32_t> actual = Pixels(count), expected = actual;
      scalar.maskCopy(expected.data(), coverage.data(), count, colour, w);
      vector.maskCopy(actual.data(), coverage.data(), count, colour, w);
      ASSERT_EQ(actual, expected) << "trial " << trial;
    }
  }
}

// A source of random pixels and a walk through and around it.
struct SampleWalk {
  std::vector<uint32_t> pixels;
  RSampleSource source;
  int64_t x, y, stepX, stepY;
  int32_t count;
};

// Walks in every direction, starting inside, on the last row and column and
// outside, over sources of one pixel up to a few dozen, stored top-down or
// bottom-up; and over sources too wide for 32-bit positions.
class BilinearWalks : public PixelRows, public ::testing::WithParamInterface<int32_t> {
 protected:
  SampleWalk Walk() {
    // Wide sources: mostly along their rows, around the column where 16.16
    // positions outgrow 32 bits.
    const bool wide = GetParam() > 64;
    const int32_t width = wide ? GetParam() : Between(1, GetParam());
    const int32_t height = wide ? Between(2, 3) : Between(1, 40);
    const int32_t span = width + Between(0, 3);
    SampleWalk walk{Pixels(span * height), {}, 0, 0, 0, 0, Between(1, 50)};
    // Now and then a source all clear or all opaque, whose groups of samples
    // take the blend's shortcuts.
    if (const int32_t kind = Between(0, 7); kind < 2) {
      for (uint32_t& p : walk.pixels) p = kind == 0 ? p & 0x00FFFFFF : p | 0xFF000000;
    }
    const bool bottomUp = Between(0, 3) == 0;
    walk.source = {walk.pixels.data() + (bottomUp ? ptrdiff_t{span} * (height - 1) : 0),
                   bottomUp ? -span : span, width, height};
    walk.x = int64_t{wide ? Between(32700, width + 2) : Between(-3, width + 2)} << 16 |
             Between(0, 0xFFFF);
    walk.y =
        int64_t{wide ? Between(0, height - 2) : Between(-3, height + 2)} << 16 | Between(0, 0xFFFF);
    if (Between(0, 3) == 0) walk.x &= ~int64_t{0xFFFF};  // whole positions: weights of 65536
    walk.stepX = Between(-0x28000, 0x28000);
    walk.stepY = Between(0, 3) == 0 ? 0 : Between(-0x28000, 0x28000) >> (wide ? 5 : 0);
    return walk;
  }
};

TEST_P(BilinearWalks, SpanAndFusedBlendMatchTheReference) {
  for (const RPixelRows& vector : units) {
    const int32_t trials = GetParam() > 64 ? 200 : 2000;
    for (int32_t trial = 0; trial < trials; ++trial) {
      const SampleWalk walk = Walk();
      const auto& [pixels, source, x, y, stepX, stepY, count] = walk;
      std::vector<uint32_t> actual(count, 1), expected(count, 2);
      scalar.bilinearSpan(expected.data(), source, x, y, stepX, stepY, count);
      vector.bilinearSpan(actual.data(), source, x, y, stepX, stepY, count);
      ASSERT_EQ(actual, expected) << "span, trial " << trial;

      const int32_t w = Between(0, 1) ? 256 : Between(1, 255);
      actual = Pixels(count), expected = actual;
      scalar.bilinearAlphaBlend(expected.data(), source, x, y, stepX, stepY, count, w);
      vector.bilinearAlphaBlend(actual.data(), source, x, y, stepX, stepY, count, w);
      ASSERT_EQ(actual, expected) << "blend, trial " << trial << " w " << w;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SourceWidths, BilinearWalks, ::testing::Values(40, 33000));

// The run of a walk inside [0, limit) against testing every index, on walks
// up, down and standing, starting on, before, inside and beyond the limits,
// and far out.
TEST(IndexRun, HoldsExactlyTheIndicesInside) {
  std::mt19937 random{23};
  const auto between = [&](int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random);
  };
  for (int32_t trial = 0; trial < 20000; ++trial) {
    const int64_t scale = trial % 100 == 0 ? int64_t{1} << 28 : 1;
    const int64_t limit = between(1, 40) << 16, step = between(-0x30000, 0x30000) * scale;
    const int64_t start = (trial % 7 == 0 ? between(-3, 43) << 16 : between(-0x300000, 0x300000)) *
                          (trial % 100 == 0 ? 2 : 1);
    const int32_t count = static_cast<int32_t>(between(0, 60));
    const RIndexRun run = Raster_IndexRunWithin(start, step, limit, count);
    for (int32_t i = 0; i < count; ++i) {
      const int64_t at = start + i * step;
      const bool inside = at >= 0 && at < limit, inRun = i >= run.first && i < run.last;
      ASSERT_EQ(inRun, inside) << "start " << start << " step " << step << " limit " << limit
                               << " index " << i;
    }
  }
}

}  // namespace
