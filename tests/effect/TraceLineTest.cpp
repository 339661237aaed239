#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>

#include "effect/TraceLine.h"
#include "tests/effect/TraceCapture.h"

namespace {

std::string Format(double x) {
  char text[kTraceNumberCapacity];
  FormatTraceNumber(x, text, sizeof text);
  return text;
}

std::string Line(const char* label, std::initializer_list<double> numbers) {
  char line[512];
  BuildTraceLine(label, numbers.begin(), static_cast<int32_t>(numbers.size()), line, sizeof line);
  return line;
}

TEST(TraceNumber, WholeAndTinyNumbersPrintAsIntegers) {
  EXPECT_EQ(Format(3.0), "3");
  EXPECT_EQ(Format(-2.0), "-2");
  EXPECT_EQ(Format(0.0), "0");
  EXPECT_EQ(Format(-0.0), "0");
  EXPECT_EQ(Format(1e-16), "0");
  EXPECT_EQ(Format(-9e-16), "0");
  EXPECT_EQ(Format(20000.0), "20000");
}

TEST(TraceNumber, UsesTheFewestDecimalsThatAreExact) {
  EXPECT_EQ(Format(0.5), "0.5");
  EXPECT_EQ(Format(-2.75), "-2.75");
  // 10 * 0.1 rounds to exactly 1 in double precision.
  EXPECT_EQ(Format(0.1), "0.1");
  EXPECT_EQ(Format(1234.5678), "1234.5678");
}

TEST(TraceNumber, FallsBackToElevenDecimals) {
  EXPECT_EQ(Format(1.0 / 3.0), "0.33333333333");
  // Too small to show but not small enough to count as zero.
  EXPECT_EQ(Format(3e-12), "0.00000000000");
}

TEST(TraceNumber, HugeWholeNumbersSaturate) {
  EXPECT_EQ(Format(1e12), "2147483647");
  EXPECT_EQ(Format(-std::numeric_limits<double>::infinity()), "-2147483648");
}

TEST(TraceNumber, CutsToTheGivenRoom) {
  char text[4];
  FormatTraceNumber(1.0 / 3.0, text, sizeof text);
  EXPECT_STREQ(text, "0.3");
}

TEST(TraceLine, RoundCoefficientsAtZeroAndFifty) {
  // Low Round 0 gives -0.96f, High Round 50 gives 50 * 0.0194f - 0.96f; as
  // doubles neither is exact below 11 decimals.
  EXPECT_EQ(Line("round_low, round_high",
                 {static_cast<double>(-0.96f), static_cast<double>(50.0f * 0.0194f - 0.96f)}),
            "round_low, round_high -0.95999997854, 0.01000005007");
}

TEST(TraceLine, AbsentPositionsAreSkipped) {
  EXPECT_EQ(Line("v", {1.0, DBL_MAX, 2.5, std::numeric_limits<double>::infinity()}), "v 1, 2.5");
  EXPECT_EQ(Line("label", {DBL_MAX, DBL_MAX}), "label ");
  EXPECT_EQ(Line("", {1.0, 2.0}), "1, 2");
  EXPECT_EQ(Line(nullptr, {}), "");
}

TEST(TraceLine, NeverRunsPastItsBuffer) {
  char line[8];
  BuildTraceLine("a long label", nullptr, 0, line, sizeof line);
  EXPECT_STREQ(line, "a long ");
  const double numbers[] = {1.0 / 3.0, 2.0};
  BuildTraceLine("x", numbers, 2, line, sizeof line);
  EXPECT_STREQ(line, "x 0.333");
}

TEST(TraceLine, TraceValuesWritesOneLineWithoutLineEnd) {
  TraceCapture capture;
  TraceValues("gain", 0.5);
  TraceValues("none");
  ASSERT_EQ(TraceCapture::Lines().size(), 2u);
  EXPECT_EQ(TraceCapture::Lines()[0], "gain 0.5");
  EXPECT_EQ(TraceCapture::Lines()[1], "none ");
}

TEST(TraceLine, TakesAllNineNumbers) {
  TraceCapture capture;
  TraceValues("n", 1, 2, 3, 4, 5, 6, 7, 8, 9);
  ASSERT_EQ(TraceCapture::Lines().size(), 1u);
  EXPECT_EQ(TraceCapture::Lines()[0], "n 1, 2, 3, 4, 5, 6, 7, 8, 9");
}

}  // namespace
