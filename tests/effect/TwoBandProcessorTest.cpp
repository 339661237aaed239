#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "effect/TwoBandProcessor.h"
#include "tests/effect/TestSignals.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

bool AllFinite(const std::vector<double>& samples) {
  for (double s : samples) {
    if (!std::isfinite(s)) return false;
  }
  return true;
}

double LargestMagnitude(const std::vector<double>& samples) {
  double largest = 0.0;
  for (double s : samples) largest = std::fmax(largest, std::fabs(s));
  return largest;
}

bool StateIsZero(const TwoBandProcessor& p) {
  for (int32_t c = 0; c < TwoBandProcessor::kChannels; ++c) {
    if (p.filter[c].filterZ1 != 0.0 || p.filter[c].filterZ2 != 0.0 || p.smoothLow[c] != 0.0 ||
        p.smoothHigh[c] != 0.0) {
      return false;
    }
  }
  return true;
}

// Shaping switched off, both bands at unity, fully wet: the output is the sum
// of the bands. The parameters cannot reach these values.
void NeutraliseShaping(TwoBandProcessor& p) {
  p.low.drive = p.high.drive = 0.0f;
  p.low.round = p.high.round = 0.0f;
  p.low.gain = p.high.gain = 1.0f;
  p.wetLevel = 1.0f;
  p.dryLevel = 0.0f;
}

// A bilinear second-order section is stable when both poles lie inside the
// unit circle: |b2| < 1 and |b1| < 1 + b2.
bool CrossoverIsStable(const TwoBandProcessor& p) {
  return std::fabs(p.coefB2) < 1.0 && std::fabs(p.coefB1) < 1.0 + p.coefB2;
}

TEST(Crossover, CoefficientsAt44100ForSplit1000Damping50) {
  const TwoBandProcessor p = ConfiguredProcessor(product::kDefaults);
  // w = tan(1000 / 44100 * pi), a = 1 / w, d = 1.5299997329711914:
  // 1 / ((d + a) * a + 1), (1 - a * a) * coefIn * 2, ((a - d) * a + 1) * coefIn
  EXPECT_NEAR(p.coefIn, 0.004569859701397503, 1e-17);
  EXPECT_NEAR(p.coefB1, -1.7857560607886194, 1e-14);
  EXPECT_NEAR(p.coefB2, 0.8040354995942093, 1e-14);
}

TEST(Crossover, LowBandPassesAConstantWithUnityGain) {
  TwoBandProcessor p = ConfiguredProcessor(product::kDefaults);
  NeutraliseShaping(p);
  p.high.gain = 0.0f;  // listen to the low band alone
  const std::vector<double> constant(44100, 0.5);
  const StereoRun out = RunInBlocks(p, constant, constant, 512);
  EXPECT_NEAR(out.left.back(), 0.5, 1e-12);
  EXPECT_NEAR(out.right.back(), 0.5, 1e-12);
}

TEST(Crossover, BandsSumToTheInputWhenShapingIsNeutral) {
  for (const int32_t split : {20, 1000, 5015, 20000}) {
    SCOPED_TRACE(split);
    product::Values values = product::kDefaults;
    values[0] = split;
    TwoBandProcessor p = ConfiguredProcessor(values);
    NeutraliseShaping(p);
    const std::vector<double> left = Noise(2048, 1);
    const std::vector<double> right = Noise(2048, 2);
    const StereoRun out = RunInBlocks(p, left, right, 256);
    for (size_t i = 0; i < left.size(); ++i) {
      ASSERT_NEAR(out.left[i], left[i], 1e-12) << i;
      ASSERT_NEAR(out.right[i], right[i], 1e-12) << i;
    }
  }
}

TEST(Crossover, Split20000IsUnchangedAt44100And48000) {
  product::Values values = product::kDefaults;
  values[0] = 20000;
  // The unlimited formula at 20000 Hz, worked out as in the test above.
  const TwoBandProcessor at44 = ConfiguredProcessor(values, 44100.0);
  EXPECT_NEAR(at44.coefIn, 0.8021344652440214, 1e-14);
  EXPECT_NEAR(at44.coefB1, 1.5695622417580708, 1e-14);
  EXPECT_NEAR(at44.coefB2, 0.6389756192180148, 1e-14);
  const TwoBandProcessor at48 = ConfiguredProcessor(values, 48000.0);
  EXPECT_NEAR(at48.coefIn, 0.6748735963435026, 1e-14);
  EXPECT_NEAR(at48.coefB1, 1.2528397043073785, 1e-14);
  EXPECT_NEAR(at48.coefB2, 0.44665468106663214, 1e-14);
}

// Unlimited, these settings put the poles outside the unit circle: the output
// grows without bound and then stays NaN.
TEST(Crossover, SplitAtOrAboveHalfTheSampleRateStaysStable) {
  struct Case {
    int32_t split;
    double rate;
  };
  for (const Case c : {Case{20000, 32000.0}, Case{20000, 22050.0}, Case{5015, 8000.0},
                       Case{4000, 8000.0}, Case{3900, 8000.0}}) {
    SCOPED_TRACE(c.rate);
    SCOPED_TRACE(c.split);
    product::Values values = product::kDefaults;
    values[0] = c.split;
    TwoBandProcessor p = ConfiguredProcessor(values, c.rate);
    EXPECT_TRUE(CrossoverIsStable(p));
    const std::vector<double> noise = Noise(static_cast<size_t>(c.rate) * 2, 7);
    const StereoRun out = RunInBlocks(p, noise, noise, 512, c.rate);
    EXPECT_TRUE(AllFinite(out.left));
    EXPECT_LT(LargestMagnitude(out.left), 20.0);
  }
}

TEST(Crossover, SampleRateChangeKeepsTheState) {
  TwoBandProcessor p = ConfiguredProcessor(product::kDefaults, 44100.0);
  RunInBlocks(p, Noise(300, 3), Noise(300, 4), 300);
  const TwoBandProcessor before = p;
  p.ApplySampleRate(48000.0);
  EXPECT_EQ(p.filterSampleRate, 48000.0);
  EXPECT_NEAR(p.coefIn, 0.0038892208153216584, 1e-17);
  EXPECT_NE(p.coefB1, before.coefB1);
  for (int32_t c = 0; c < 2; ++c) {
    EXPECT_EQ(p.filter[c].filterZ1, before.filter[c].filterZ1);
    EXPECT_EQ(p.filter[c].filterZ2, before.filter[c].filterZ2);
    EXPECT_EQ(p.smoothLow[c], before.smoothLow[c]);
    EXPECT_EQ(p.smoothHigh[c], before.smoothHigh[c]);
  }
}

TEST(Crossover, UnusableSampleRatesAreIgnored) {
  TwoBandProcessor p = ConfiguredProcessor(product::kDefaults, 48000.0);
  const TwoBandProcessor before = p;
  for (const double rate : {0.0, -44100.0, kNaN, kInfinity, -kInfinity}) {
    p.ApplySampleRate(rate);
    EXPECT_EQ(p.filterSampleRate, 48000.0);
    EXPECT_EQ(p.coefIn, before.coefIn);
    EXPECT_EQ(p.coefB1, before.coefB1);
    EXPECT_EQ(p.coefB2, before.coefB2);
  }
}

TEST(Crossover, FirstBlockWithoutAUsableRateKeepsThePreviousOne) {
  TwoBandProcessor earlier = ConfiguredProcessor(product::kDefaults, 48000.0);
  RunInBlocks(earlier, Noise(64, 1), Noise(64, 2), 64, 0.0);
  EXPECT_TRUE(earlier.coefficientsReady);
  EXPECT_EQ(earlier.filterSampleRate, 48000.0);

  TwoBandProcessor never;  // no rate seen at all: the usual default
  for (int32_t i = 0; i < 9; ++i) ApplyParameterToProcessor(i, product::kDefaults[i], never);
  const StereoRun out = RunInBlocks(never, Noise(64, 1), Noise(64, 2), 64, kNaN);
  EXPECT_EQ(never.filterSampleRate, 44100.0);
  EXPECT_TRUE(AllFinite(out.left));
}

TEST(Crossover, FirstBlockTakesTheHostRate) {
  TwoBandProcessor p;
  for (int32_t i = 0; i < 9; ++i) ApplyParameterToProcessor(i, product::kDefaults[i], p);
  EXPECT_FALSE(p.coefficientsReady);
  RunInBlocks(p, Noise(8, 1), Noise(8, 2), 8, 96000.0);
  EXPECT_TRUE(p.coefficientsReady);
  EXPECT_EQ(p.filterSampleRate, 96000.0);
  const TwoBandProcessor reference = ConfiguredProcessor(product::kDefaults, 96000.0);
  EXPECT_EQ(p.coefIn, reference.coefIn);
}

TEST(Processing, ZerosGiveExactZerosAndLeaveTheStateAlone) {
  TwoBandProcessor p = ConfiguredProcessor(product::kDefaults);
  const std::vector<double> zeros(1024, 0.0);
  const StereoRun out = RunInBlocks(p, zeros, zeros, 1024);
  EXPECT_TRUE(SameBits(out.left, zeros));
  EXPECT_TRUE(SameBits(out.right, zeros));
  EXPECT_TRUE(StateIsZero(p));
}

TEST(Processing, MixZeroPassesTheInput) {
  product::Values values = product::kDefaults;
  values[8] = 0;
  TwoBandProcessor p = ConfiguredProcessor(values);
  const std::vector<double> left = Noise(4096, 11);
  const std::vector<double> right = Noise(4096, 12, 0.01);
  const StereoRun out = RunInBlocks(p, left, right, 512);
  EXPECT_TRUE(SameBits(out.left, left));
  EXPECT_TRUE(SameBits(out.right, right));
}

TEST(Processing, AnImpulseDecaysToExactZeros) {
  TwoBandProcessor p = ConfiguredProcessor(product::kDefaults);
  std::vector<double> impulse(44100, 0.0);
  impulse[0] = 1.0;
  const StereoRun out = RunInBlocks(p, impulse, impulse, 512);
  EXPECT_NE(out.left[1], 0.0);  // the low band rings on after the impulse
  size_t firstZero = 1;
  while (firstZero < out.left.size() && out.left[firstZero] != 0.0) ++firstZero;
  ASSERT_LT(firstZero, 4096u);
  for (size_t i = firstZero; i < out.left.size(); ++i) ASSERT_EQ(out.left[i], 0.0) << i;
  EXPECT_LE(std::fabs(p.filter[0].filterZ1), 1e-15);
  EXPECT_LE(std::fabs(p.filter[0].filterZ2), 1e-15);
  // Frozen, not cleared: the smoothing state keeps its last value.
  EXPECT_NE(p.smoothLow[0], 0.0);
}

TEST(Processing, ChannelsKeepSeparateState) {
  TwoBandProcessor p = ConfiguredProcessor(product::kDefaults);
  const std::vector<double> zeros(4096, 0.0);
  const StereoRun out = RunInBlocks(p, Noise(4096, 5), zeros, 512);
  EXPECT_TRUE(SameBits(out.right, zeros));
  EXPECT_NE(LargestMagnitude(out.left), 0.0);
  EXPECT_EQ(p.filter[1].filterZ1, 0.0);
  EXPECT_EQ(p.smoothHigh[1], 0.0);
}

TEST(Processing, InPlaceEqualsSeparateBuffers) {
  const std::vector<double> left = Noise(2000, 21);
  const std::vector<double> right = Noise(2000, 22);
  TwoBandProcessor separate = ConfiguredProcessor(product::kDefaults);
  const StereoRun expected = RunInBlocks(separate, left, right, 500);

  TwoBandProcessor inPlace = ConfiguredProcessor(product::kDefaults);
  std::vector<double> l = left;
  std::vector<double> r = right;
  for (size_t start = 0; start < l.size(); start += 500) {
    double* channels[2] = {l.data() + start, r.data() + start};
    inPlace.ProcessBlock(channels, channels, 500);
  }
  EXPECT_TRUE(SameBits(l, expected.left));
  EXPECT_TRUE(SameBits(r, expected.right));
}

TEST(Processing, BlockSizeDoesNotChangeTheOutput) {
  // Noise with a silent stretch in the middle, so the silence test freezes
  // and releases the state across block boundaries.
  std::vector<double> left = Noise(6000, 31);
  std::vector<double> right = Noise(6000, 32, 0.3);
  std::fill(left.begin() + 2000, left.begin() + 4000, 0.0);
  TwoBandProcessor one = ConfiguredProcessor(product::kDefaults);
  TwoBandProcessor seven = ConfiguredProcessor(product::kDefaults);
  TwoBandProcessor large = ConfiguredProcessor(product::kDefaults);
  const StereoRun a = RunInBlocks(one, left, right, 1);
  const StereoRun b = RunInBlocks(seven, left, right, 7);
  const StereoRun c = RunInBlocks(large, left, right, 512);
  EXPECT_TRUE(SameBits(a.left, c.left));
  EXPECT_TRUE(SameBits(b.left, c.left));
  EXPECT_TRUE(SameBits(a.right, c.right));
  EXPECT_TRUE(SameBits(b.right, c.right));
  EXPECT_EQ(c.left[3999], 0.0);
}

TEST(Processing, EmptyOrNegativeBlocksDoNothing) {
  TwoBandProcessor p = ConfiguredProcessor(product::kDefaults);
  double left = 0.5;
  double right = 0.5;
  double* channels[2] = {&left, &right};
  p.ProcessBlock(channels, channels, 0);
  p.ProcessBlock(channels, channels, -5);
  p.ProcessBlock(nullptr, channels, 1);
  EXPECT_EQ(left, 0.5);
  EXPECT_FALSE(p.coefficientsReady);
}

TEST(Processing, NonFiniteInputDoesNotPoisonTheChannel) {
  for (const double poison : {kNaN, kInfinity, -kInfinity}) {
    SCOPED_TRACE(poison);
    TwoBandProcessor p = ConfiguredProcessor(product::kDefaults);
    TwoBandProcessor clean = ConfiguredProcessor(product::kDefaults);
    std::vector<double> left = Noise(512, 41);
    const std::vector<double> right = Noise(512, 42);
    const StereoRun cleanOut = RunInBlocks(clean, left, right, 512);
    left[100] = poison;
    const StereoRun poisoned = RunInBlocks(p, left, right, 512);
    EXPECT_FALSE(std::isfinite(poisoned.left[100]));
    // The right channel never notices.
    EXPECT_TRUE(SameBits(poisoned.right, cleanOut.right));

    // The next block starts from a cleared left channel: silence stays exact
    // silence, and a signal comes out finite again.
    const std::vector<double> zeros(256, 0.0);
    const StereoRun silent = RunInBlocks(p, zeros, zeros, 256);
    EXPECT_TRUE(SameBits(silent.left, zeros));
    const StereoRun after = RunInBlocks(p, Noise(1024, 43), Noise(1024, 44), 256);
    EXPECT_TRUE(AllFinite(after.left));
  }
}

}  // namespace
