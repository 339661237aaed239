// Display texts and chunks must read and write numbers identically on Linux
// and Windows; the Windows build uses mingw's C99 printf family for that.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

TEST(Toolchain, PrintfFormatsLikeC99) {
  EXPECT_EQ(Format("%.2f", 0.125), "0.12");  // round half to even on the exact binary value
  EXPECT_EQ(Format("%.2f", 2.675), "2.67");  // 2.675 is below the midpoint in binary
  EXPECT_EQ(Format("%g", 1e-5), "1e-05");    // two exponent digits, not three
  EXPECT_EQ(Format("%.0f", 0.5), "0");
  EXPECT_EQ(Format("%.0f", -0.0), "-0");
  EXPECT_EQ(Format("%f", 1.0 / 0.0), "inf");
  char text[8];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-truncation"
  EXPECT_EQ(std::snprintf(text, 4, "%d", 123456), 6);  // C99 return value when cut
#pragma GCC diagnostic pop
  EXPECT_STREQ(text, "123");
}

TEST(Toolchain, StrtodReadsLikeC99) {
  EXPECT_EQ(std::strtod("0.1", nullptr), 0.1);
  EXPECT_EQ(std::strtod("5015", nullptr), 5015.0);
  EXPECT_EQ(std::strtod("1e-3", nullptr), 0.001);
}

}  // namespace
