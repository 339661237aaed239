// The mapping must match other implementations to the last bit, so the
// expected values are single-precision bit patterns. They were worked out
// from the formulas one rounded float operation at a time; for example at
// n = 50: x = 0.5, x*2 - x*x = 0.75, 0.75 * 5.96f = 4.4700003 (rounded),
// 6 - 4.4700003 = 1.5299997 = 0x3FC3D708.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "effect/DerivedQuantities.h"
#include "effect/ParameterMapping.h"

namespace {

uint32_t Bits(float v) { return std::bit_cast<uint32_t>(v); }

struct MappingRow {
  int32_t n;
  uint32_t damping;
  uint32_t drive;
  uint32_t driveComp;
  uint32_t level;
  uint32_t round;
};

// 6.0, 3.8544, 1.53, 0.04 | 0.857143, 2.46070, 9.37980, 1998.03 |
// 0.55, 0.462, 0.33, 0.11 | 0.2, 1.0, 2.5, 5.0 | -0.96, -0.572, 0.01, 0.98
constexpr MappingRow kReferenceRows[] = {
    {0, 0x40C00000, 0x3F5B6DB8, 0x3F0CCCCD, 0x3E4CCCCD, 0xBF75C28F},
    {20, 0x4076AE7E, 0x401D7C22, 0x3EEC8B44, 0x3F800000, 0xBF126E97},
    {50, 0x3FC3D708, 0x411613AD, 0x3EA8F5C3, 0x40200000, 0x3C23D740},
    {100, 0x3D23D700, 0x44F9C0D3, 0x3DE147B0, 0x40A00000, 0x3F7AE149},
};

TEST(ParameterMapping, ReferenceValuesAreBitExact) {
  for (const MappingRow& row : kReferenceRows) {
    SCOPED_TRACE(row.n);
    const float m = static_cast<float>(row.n);
    EXPECT_EQ(Bits(DampingFromPercent(m)), row.damping);
    EXPECT_EQ(Bits(DriveFromPercent(m)), row.drive);
    EXPECT_EQ(Bits(DriveCompensationFromPercent(m)), row.driveComp);
    EXPECT_EQ(Bits(LevelFromPercent(row.n, m)), row.level);
    EXPECT_EQ(Bits(RoundFromPercent(m)), row.round);
  }
}

TEST(ParameterMapping, LevelChangesSlopeAtTwenty) {
  // 19 * 0.04f + 0.2f = 0.96 (0x3F75C28F); 20 gives exactly 1;
  // (21 - 20) * 0.05f + 1 = 1.05 (0x3F866666).
  EXPECT_EQ(Bits(LevelFromPercent(19, 19.0f)), 0x3F75C28Fu);
  EXPECT_EQ(Bits(LevelFromPercent(20, 20.0f)), 0x3F800000u);
  EXPECT_EQ(Bits(LevelFromPercent(21, 21.0f)), 0x3F866666u);
}

TEST(ParameterMapping, MixNinetySplitsInSinglePrecision) {
  TwoBandProcessor p;
  ApplyParameterToProcessor(kMix, 90.0, p);
  EXPECT_EQ(p.wetLevel, 0.9f);
  EXPECT_EQ(p.dryLevel, 1.0f - 0.9f);
  // 1 - 0.9f is 0.10000002, not the float nearest 0.1.
  EXPECT_EQ(Bits(p.dryLevel), 0x3DCCCCD0u);
}

TEST(ParameterMapping, RoundsHalfAwayFromZero) {
  EXPECT_EQ(RoundHalfAwayFromZero(999.5), 1000);
  EXPECT_EQ(RoundHalfAwayFromZero(999.49), 999);
  EXPECT_EQ(RoundHalfAwayFromZero(-2.5), -3);
  EXPECT_EQ(RoundHalfAwayFromZero(-2.49), -2);
  EXPECT_EQ(RoundHalfAwayFromZero(0.0), 0);
}

TEST(ParameterMapping, RoundingSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(RoundHalfAwayFromZero(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfAwayFromZero(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfAwayFromZero(2147483647.0), 2147483647);
  EXPECT_EQ(RoundHalfAwayFromZero(-2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfAwayFromZero(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ParameterMapping, SplitFrequencyIsRoundedBeforeUse) {
  TwoBandProcessor p;
  ApplyParameterToProcessor(kSplitFreq, 999.5, p);
  EXPECT_EQ(p.splitFrequency, 1000);
  ApplyParameterToProcessor(kSplitFreq, 999.49, p);
  EXPECT_EQ(p.splitFrequency, 999);
}

TEST(ParameterMapping, BandGainDoesNotDependOnOrder) {
  TwoBandProcessor driveFirst;
  ApplyParameterToProcessor(kLowDrive, 30.0, driveFirst);
  ApplyParameterToProcessor(kLowGain, 60.0, driveFirst);
  TwoBandProcessor gainFirst;
  ApplyParameterToProcessor(kLowGain, 60.0, gainFirst);
  ApplyParameterToProcessor(kLowDrive, 30.0, gainFirst);
  // drive comp 0.418 (0x3ED60419) times level 3.0 = 1.2540001 (0x3FA08313)
  EXPECT_EQ(Bits(driveFirst.low.gain), 0x3FA08313u);
  EXPECT_EQ(Bits(gainFirst.low.gain), Bits(driveFirst.low.gain));

  // A later change of one side keeps the other side's factor.
  ApplyParameterToProcessor(kLowGain, 20.0, driveFirst);
  EXPECT_EQ(driveFirst.low.gain, driveFirst.low.driveComp * 1.0f);
  ApplyParameterToProcessor(kLowDrive, 100.0, driveFirst);
  EXPECT_EQ(Bits(driveFirst.low.gain), 0x3DE147B0u);  // 0.11 * 1.0
}

TEST(ParameterMapping, BandsAreIndependent) {
  TwoBandProcessor p;
  ApplyParameterToProcessor(kHighDrive, 50.0, p);
  ApplyParameterToProcessor(kHighGain, 21.0, p);
  ApplyParameterToProcessor(kHighRound, 100.0, p);
  EXPECT_EQ(p.low.drive, 0.0f);
  EXPECT_EQ(p.low.gain, 0.0f);
  EXPECT_EQ(p.low.round, 0.0f);
  EXPECT_EQ(Bits(p.high.drive), 0x411613ADu);
  EXPECT_EQ(Bits(p.high.level), 0x3F866666u);
  EXPECT_EQ(p.high.gain, p.high.driveComp * p.high.level);
  EXPECT_EQ(Bits(p.high.round), 0x3F7AE149u);
}

TEST(ParameterMapping, DampingChangeRecomputesCoefficients) {
  TwoBandProcessor p;
  p.filterSampleRate = 44100.0;
  ApplyParameterToProcessor(kSplitFreq, 1000.0, p);
  ApplyParameterToProcessor(kDamping, 50.0, p);
  const double before = p.coefIn;
  ApplyParameterToProcessor(kDamping, 100.0, p);
  EXPECT_EQ(Bits(p.damping), 0x3D23D700u);
  EXPECT_NE(p.coefIn, before);
}

}  // namespace
