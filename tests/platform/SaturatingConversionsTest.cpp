#include "platform/SaturatingConversions.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One row per input: what each rounding rule makes of it. The limits and
// just inside them matter most, since a plain conversion there is undefined.
struct RoundingRow {
  double v;
  int32_t truncated;
  int32_t halfUp;
  int32_t halfAway;
};

TEST(SaturatingConversions, DoublesRoundByTheirRuleAndSaturate) {
  const RoundingRow rows[] = {
      {0.0, 0, 0, 0},
      {2.5, 2, 3, 3},
      {-2.5, -2, -2, -3},
      {-2.49, -2, -2, -2},
      {999.49, 999, 999, 999},
      {2147483646.5, 2147483646, kMax, kMax},
      {2147483647.0, kMax, kMax, kMax},
      {-2147483647.5, -2147483647, -2147483647, kMin},
      {-2147483648.0, kMin, kMin, kMin},
      {1e300, kMax, kMax, kMax},
      {-1e300, kMin, kMin, kMin},
      {kInf, kMax, kMax, kMax},
      {-kInf, kMin, kMin, kMin},
      {kNaN, 0, 0, 0},
  };
  for (const RoundingRow& row : rows) {
    SCOPED_TRACE(row.v);
    EXPECT_EQ(TruncateToInt32(row.v), row.truncated);
    EXPECT_EQ(RoundHalfUp(row.v), row.halfUp);
    EXPECT_EQ(RoundHalfAwayFromZero(row.v), row.halfAway);
  }
}

// Single precision adds its half in float: a sum that rounds up there gives
// one more than the double rule would.
TEST(SaturatingConversions, FloatsRoundHalfAwayInSinglePrecision) {
  EXPECT_EQ(RoundHalfAwayFromZeroF(0.49999997f), 1);
  EXPECT_EQ(RoundHalfAwayFromZero(0.49999997f), 0);
  EXPECT_EQ(RoundHalfAwayFromZeroF(-2.5f), -3);
  EXPECT_EQ(RoundHalfAwayFromZeroF(3e9f), kMax);
  EXPECT_EQ(RoundHalfAwayFromZeroF(-3e9f), kMin);
  EXPECT_EQ(RoundHalfAwayFromZeroF(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(SaturatingConversions, SixtyFourBitTruncationSaturates) {
  constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(TruncateToInt64(-4294967296.75), -4294967296);
  EXPECT_EQ(TruncateToInt64(9.2e18), kMax64);
  EXPECT_EQ(TruncateToInt64(-kInf), kMin64);
  EXPECT_EQ(TruncateToInt64(kNaN), 0);
}

TEST(SaturatingConversions, WideIntegersSaturateAtTheNarrowLimits) {
  EXPECT_EQ(SaturateToInt32(int64_t{kMax} + 1), kMax);
  EXPECT_EQ(SaturateToInt32(int64_t{kMin} - 1), kMin);
  EXPECT_EQ(SaturateToInt32(-7), -7);
  EXPECT_EQ(SaturateToInt16(40000), 32767);
  EXPECT_EQ(SaturateToInt16(-40000), -32768);
  EXPECT_EQ(SaturateToInt16(-7), -7);
}

}  // namespace
