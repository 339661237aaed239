#include "framework/IParameter.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

std::string Format(const IParameter& p, double v, bool normalised = false) {
  char text[64];
  p.FormatValue(v, normalised, text, sizeof text);
  return text;
}

struct SplitFreq : IParameter {
  SplitFreq() {
    DefineInteger("Split Freq", 1000, 20, 20000, "Hz");
    SetShapeExponent(2.0);
  }
};

struct Percent : IParameter {
  Percent() { DefineInteger("Low Round", 50, 0, 100, "%"); }
};

TEST(Parameter, ShapedIntegerMapsHalfToTheQuarterPointAndBack) {
  SplitFreq p;
  EXPECT_EQ(p.kind, ParamKind::Integer);
  p.SetFromNormalized(0.5);
  EXPECT_EQ(p.value, 5015.0);  // 20 + 0.25 · 19980
  EXPECT_EQ(Format(p, p.value), "5015");
  EXPECT_DOUBLE_EQ(p.Normalized(), 0.5);
  p.SetFromNormalized(1.0);
  EXPECT_EQ(p.value, 20000.0);
  p.SetFromNormalized(1.2);
  EXPECT_EQ(p.value, 20000.0);
}

TEST(Parameter, IntegerRoundsToTheNearestStepWithHalvesGoingUp) {
  Percent p;
  p.SetFromNormalized(0.333);
  EXPECT_EQ(p.value, 33.0);
  p.SetFromNormalized(0.335);
  EXPECT_EQ(p.value, 34.0);
  EXPECT_EQ(Format(p, 0.5, true), "50");
}

TEST(Parameter, ValueBelowTheRangeFromAHostIsLimitedToTheMinimum) {
  Percent p;
  p.SetFromNormalized(-0.03);  // would be −3 %
  EXPECT_EQ(p.value, 0.0);
  SplitFreq s;
  s.SetFromNormalized(-1e-9);  // u² is positive: 20 + tiny, rounds to 20
  EXPECT_EQ(s.value, 20.0);
  // NaN keeps landing on the maximum.
  p.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(p.value, 100.0);
}

TEST(Parameter, ContinuousValuesAreNotStepped) {
  IParameter p;
  p.DefineContinuous("Gain", 0.0, 0.0, 10.0, 0.5, "dB");
  EXPECT_EQ(p.kind, ParamKind::Continuous);
  p.SetFromNormalized(0.33);
  EXPECT_EQ(p.value, 0.0 + 0.33 * 10.0);
}

TEST(Parameter, DefiningKeepsAKindSetBefore) {
  IParameter p;
  p.kind = ParamKind::Boolean;
  p.DefineInteger("Bypass", 0, 0, 1, "");
  EXPECT_EQ(p.kind, ParamKind::Boolean);
}

TEST(Parameter, EmptyRangeIsWidenedByOneStepAndDefaultIsKept) {
  IParameter p;
  p.DefineInteger("Fixed", 9, 5, 5, "");
  EXPECT_EQ(p.min, 5.0);
  EXPECT_EQ(p.max, 6.0);
  EXPECT_EQ(p.value, 9.0);  // stored unchanged, outside the range
}

TEST(Parameter, ZeroShapeExponentIsIgnored) {
  SplitFreq p;
  p.SetShapeExponent(0.0);
  EXPECT_EQ(p.shape, 2.0);
  p.SetShapeExponent(3.0);
  EXPECT_EQ(p.shape, 3.0);
}

TEST(Parameter, DisplayPrecisionFollowsTheStep) {
  const struct {
    double step;
    int32_t decimals;
  } cases[] = {{1.0, 0}, {0.5, 1}, {0.1, 1}, {0.25, 2}, {0.01, 2}, {0.125, 3}, {0.0000001, 6}};
  for (const auto& c : cases) {
    IParameter p;
    p.DefineContinuous("x", 0.0, 0.0, 1.0, c.step, "");
    EXPECT_EQ(p.displayPrecision, c.decimals) << c.step;
  }
}

TEST(Parameter, ZeroIsShownBareAndSmallValuesKeepTheirSign) {
  IParameter p;
  p.DefineContinuous("x", 0.0, -1.0, 2.0, 0.01, "");
  EXPECT_EQ(Format(p, 0.0), "0");
  EXPECT_EQ(Format(p, -0.0), "0");
  EXPECT_EQ(Format(p, std::numeric_limits<double>::quiet_NaN()), "0");
  EXPECT_EQ(Format(p, 0.004), "0.00");
  EXPECT_EQ(Format(p, -0.004), "-0.00");
  EXPECT_EQ(Format(p, 1.5), "1.50");
}

TEST(Parameter, IntegerDisplayTruncatesTowardZero) {
  Percent p;
  p.SetValueClamped(12.7);
  EXPECT_EQ(p.value, 12.7);  // neither rounded nor shaped
  EXPECT_EQ(Format(p, p.value), "12");
  IParameter wide;
  wide.DefineInteger("w", 0, -5, 5, "");
  EXPECT_EQ(Format(wide, -3.9), "-3");
}

TEST(Parameter, FormattingStaysInsideTheBuffer) {
  IParameter p;
  p.DefineContinuous("x", 0.0, 0.0, 1e300, 0.000001, "");
  char small[8];
  p.FormatValue(1e300, false, small, sizeof small);
  EXPECT_EQ(std::string(small), "1000000");
  Percent q;  // huge values saturate, never overflow the integer conversion
  char text[32];
  q.FormatValue(1e12, false, text, sizeof text);
  EXPECT_EQ(std::string(text), "2147483647");
}

TEST(Parameter, ClampingLimitsBothEndsAndNaN) {
  Percent p;
  p.SetValueClamped(150.0);
  EXPECT_EQ(p.value, 100.0);
  p.SetValueClamped(-1.0);
  EXPECT_EQ(p.value, 0.0);
  p.SetValueClamped(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(p.value, 0.0);
  EXPECT_EQ(p.NormalizedOf(500.0), 1.0);
  EXPECT_EQ(p.NormalizedOf(-500.0), 0.0);
}

TEST(Parameter, TextIsReadAsItsLeadingNumber) {
  Percent p;
  EXPECT_EQ(p.ValueFromText("42 %"), 42.0);
  EXPECT_EQ(p.ValueFromText("  7.5"), 7.5);
  EXPECT_EQ(p.ValueFromText("abc"), 0.0);
  EXPECT_EQ(p.ValueFromText(nullptr), 0.0);
  EXPECT_EQ(p.ValueFromText("250"), 250.0);  // neither limited nor rounded
  EXPECT_EQ(p.ValueFromText("\t-12.5e1 dB"), -125.0);
  EXPECT_EQ(p.ValueFromText(".5"), 0.5);
}

TEST(Parameter, OnlyDecimalNumbersAreRead) {
  // Some C libraries read these forms too; a typed text must give the same
  // value on every platform, so they count as the 0 before the x, or as no
  // number at all.
  Percent p;
  EXPECT_EQ(p.ValueFromText("0x10"), 0.0);
  EXPECT_EQ(p.ValueFromText(" -0X1F"), 0.0);
  EXPECT_EQ(p.ValueFromText("inf"), 0.0);
  EXPECT_EQ(p.ValueFromText("-infinity"), 0.0);
  EXPECT_EQ(p.ValueFromText("nan"), 0.0);
  EXPECT_EQ(p.ValueFromText("010"), 10.0);
}

TEST(Parameter, LongNamesAreCutToTheirFields) {
  IParameter p;
  const std::string longText(80, 'n');
  p.DefineInteger(longText.c_str(), 0, 0, 1, longText.c_str());
  EXPECT_EQ(std::string(p.Name()), std::string(31, 'n'));
  EXPECT_EQ(std::string(p.Label()), std::string(31, 'n'));
  p.DefineInteger(nullptr, 0, 0, 1, nullptr);
  EXPECT_STREQ(p.Name(), "");
}

TEST(Parameter, DisplayTextsReplaceNumbersByTheirTruncatedValue) {
  IParameter p;
  p.DefineInteger("Mode", 0, 0, 3, "");
  ASSERT_TRUE(p.AddDisplayText(1, "On"));
  ASSERT_TRUE(p.AddDisplayText(2, ""));
  ASSERT_TRUE(p.AddDisplayText(1, "Shadowed"));
  ASSERT_TRUE(p.AddDisplayText(3, std::string(40, 't').c_str()));
  EXPECT_EQ(p.DisplayTextCount(), 4);
  EXPECT_EQ(Format(p, 1.7), "On");
  EXPECT_EQ(Format(p, 0.5, true), "On");  // 0 + 0.5 · 3 = 1.5, looked up as 1
  EXPECT_EQ(Format(p, 2.0), "2");         // an empty text falls through to the number
  EXPECT_EQ(Format(p, 0.0), "0");
  EXPECT_EQ(std::string(p.DisplayTextFor(3)), std::string(31, 't'));
  EXPECT_STREQ(p.DisplayTextFor(7), "");
  int32_t v = -1;
  EXPECT_TRUE(p.ValueOfDisplayText("On", v));
  EXPECT_EQ(v, 1);
  EXPECT_FALSE(p.ValueOfDisplayText("on", v));
  EXPECT_EQ(p.ValueFromText("On"), 1.0);
  EXPECT_EQ(p.ValueFromText("3 things"), 3.0);
}

TEST(Parameter, NegatedDisplayInvertsShownAndTypedValues) {
  IParameter p;
  p.DefineInteger("Depth", 0, -10, 10, "");
  p.negateDisplay = true;
  EXPECT_EQ(Format(p, 5.0), "-5");
  EXPECT_EQ(p.ValueFromText("5"), -5.0);
  // A listed text stands for the value as stored: looked up before the sign
  // is inverted, and read back without inverting it.
  ASSERT_TRUE(p.AddDisplayText(5, "Five"));
  EXPECT_EQ(Format(p, 5.0), "Five");
  EXPECT_EQ(Format(p, -5.0), "5");
  EXPECT_EQ(p.ValueFromText("Five"), 5.0);
}

}  // namespace
