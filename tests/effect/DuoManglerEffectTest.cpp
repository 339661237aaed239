#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "effect/DuoManglerEffect.h"
#include "tests/effect/TestSignals.h"
#include "tests/effect/TraceCapture.h"

namespace {

// The host opens the effect: every parameter applied once.
void Open(VSTCLASS& effect) {
  PluginLockGuard guard(effect.Lock());
  effect.NotifyAllParametersChanged();
}

void SetValue(VSTCLASS& effect, int32_t index, double value) {
  PluginLockGuard guard(effect.Lock());
  effect.ParameterAt(index)->SetValueClamped(value);
  effect.ParameterChanged(index);
}

TEST(DuoManglerEffect, DeclaresItsIdentity) {
  VSTCLASS effect(nullptr);
  EXPECT_STREQ(effect.EffectName(), product::kName);
  EXPECT_STREQ(effect.ProductName(), "");
  EXPECT_STREQ(effect.MakerName(), product::kMaker);
  EXPECT_EQ(effect.VersionNumber(false), product::kPackedVersion);
  EXPECT_EQ(effect.VersionNumber(true), product::kDecimalVersion);
  EXPECT_EQ(effect.UniqueId(), product::kUniqueId);
  EXPECT_EQ(effect.MakerId(), product::kMakerId);
  EXPECT_EQ(effect.Latency(), 0);
  EXPECT_EQ(effect.MidiFlags(), 0);
  EXPECT_FALSE(effect.UsesChunks());
  EXPECT_FALSE(effect.IsInstrument());
  EXPECT_EQ(effect.ParameterCount(), product::kParameterCount);
  EXPECT_EQ(effect.PresetCount(), product::kProgramSlots);
  EXPECT_EQ(effect.InputCount(), 2);
  EXPECT_EQ(effect.OutputCount(), 2);
  EXPECT_TRUE(effect.SupportsChannelCounts(1, 1));
  EXPECT_TRUE(effect.SupportsChannelCounts(2, 2));
  EXPECT_FALSE(effect.SupportsChannelCounts(2, 1));
}

TEST(DuoManglerEffect, DefinesNineIntegerParameters) {
  VSTCLASS effect(nullptr);
  for (int32_t i = 0; i < product::kParameterCount; ++i) {
    SCOPED_TRACE(i);
    const IParameter* p = effect.ParameterAt(i);
    const product::ParameterRow& row = product::kParameters[i];
    EXPECT_EQ(p->kind, ParamKind::Integer);
    EXPECT_STREQ(p->Name(), row.name);
    EXPECT_STREQ(p->Label(), row.label);
    EXPECT_EQ(p->value, row.def);
    EXPECT_EQ(p->min, row.min);
    EXPECT_EQ(p->max, row.max);
    EXPECT_EQ(p->step, 1.0);
    EXPECT_EQ(p->shape, row.shape);
    EXPECT_EQ(p->displayPrecision, 0);
  }
  // Half of the host's range covers 20 to 5015 Hz.
  effect.ParameterAt(0)->SetFromNormalized(0.5);
  EXPECT_EQ(effect.ParameterAt(0)->value, 5015.0);
}

TEST(DuoManglerEffect, ConstructionLeavesTheProcessorZeroed) {
  VSTCLASS effect(nullptr);
  const TwoBandProcessor& p = effect.Processor();
  EXPECT_FALSE(p.coefficientsReady);
  EXPECT_EQ(p.filterSampleRate, 0.0);
  EXPECT_EQ(p.coefIn, 0.0);
  EXPECT_EQ(p.splitFrequency, 0);
  EXPECT_EQ(p.wetLevel, 0.0f);
}

TEST(DuoManglerEffect, OpeningAppliesEveryParameter) {
  VSTCLASS effect(nullptr);
  Open(effect);
  const TwoBandProcessor& p = effect.Processor();
  EXPECT_EQ(p.splitFrequency, 1000);
  EXPECT_EQ(std::bit_cast<uint32_t>(p.damping), 0x3FC3D708u);    // 1.5299997
  EXPECT_EQ(std::bit_cast<uint32_t>(p.low.drive), 0x411613ADu);  // 9.379804
  EXPECT_EQ(std::bit_cast<uint32_t>(p.low.gain), 0x3EA8F5C3u);  // compensation 0.33 times level 1.0
  EXPECT_EQ(p.high.gain, p.low.gain);
  EXPECT_EQ(p.wetLevel, 0.9f);
  EXPECT_EQ(p.dryLevel, 1.0f - 0.9f);
}

TEST(DuoManglerEffect, ParameterValuesAreRoundedHalfAwayFromZero) {
  VSTCLASS effect(nullptr);
  Open(effect);
  // The host's text entry stores values that are not multiples of the step.
  SetValue(effect, 0, 999.5);
  EXPECT_EQ(effect.Processor().splitFrequency, 1000);
  SetValue(effect, 0, 999.49);
  EXPECT_EQ(effect.Processor().splitFrequency, 999);
  SetValue(effect, 3, 19.5);
  EXPECT_EQ(effect.Processor().low.level, 1.0f);  // n = 20
}

TEST(DuoManglerEffect, EveryParameterChangeWritesTheRoundTraceLine) {
  VSTCLASS effect(nullptr);
  Open(effect);
  TraceCapture capture;
  SetValue(effect, 4, 0.0);
  SetValue(effect, 7, 50.0);
  SetValue(effect, 8, 40.0);
  SetValue(effect, 0, 2000.0);
  const std::string expected = "round_low, round_high -0.95999997854, 0.01000005007";
  ASSERT_EQ(TraceCapture::Lines().size(), 4u);
  for (const std::string& line : TraceCapture::Lines()) EXPECT_EQ(line, expected);
}

TEST(DuoManglerEffect, SampleRateReachesTheCrossover) {
  VSTCLASS effect(nullptr);
  Open(effect);
  effect.StoreSampleRate(48000.0);
  effect.ApplySampleRate();
  EXPECT_EQ(effect.Processor().filterSampleRate, 48000.0);
  const double coefIn = effect.Processor().coefIn;
  effect.StoreSampleRate(0.0);
  effect.ApplySampleRate();
  effect.StoreSampleRate(-1.0);
  effect.ApplySampleRate();
  EXPECT_EQ(effect.Processor().filterSampleRate, 48000.0);
  EXPECT_EQ(effect.Processor().coefIn, coefIn);
}

TEST(DuoManglerEffect, BlocksThroughTheBaseMatchTheProcessor) {
  VSTCLASS effect(nullptr);
  Open(effect);
  effect.StoreSampleRate(48000.0);
  effect.ApplySampleRate();  // the one way a rate reaches the processor
  std::vector<double> left = Noise(700, 51);
  std::vector<double> right = Noise(700, 52);
  TwoBandProcessor reference = ConfiguredProcessor(product::kDefaults, 48000.0);
  const StereoRun expected = RunInBlocks(reference, left, right, 700, 48000.0);

  // The first block prepares the coefficients at the applied rate.
  double* channels[2] = {left.data(), right.data()};
  {
    PluginLockGuard guard(effect.Lock());
    effect.RouteInputsDouble(0, 2, channels);
    effect.RouteOutputsDouble(0, 2, channels);
    effect.RunBlockDouble(700);
  }
  EXPECT_EQ(std::memcmp(left.data(), expected.left.data(), 700 * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(right.data(), expected.right.data(), 700 * sizeof(double)), 0);
}

// A VST host suspends and resumes around settings changes; the sound carries
// on (the LV2 build's activate() starts from silence, tested with its binding).
TEST(DuoManglerEffect, SuspendAndResumeKeepTheFilterAndSmoothingStates) {
  VSTCLASS effect(nullptr);
  Open(effect);
  std::vector<double> left = Noise(64, 53), right = Noise(64, 54);
  double* channels[2] = {left.data(), right.data()};
  {
    PluginLockGuard guard(effect.Lock());
    effect.RouteInputsDouble(0, 2, channels);
    effect.RouteOutputsDouble(0, 2, channels);
    effect.RunBlockDouble(64);
  }
  const TwoBandProcessor before = effect.Processor();
  ASSERT_NE(before.filter[1].filterZ1, 0.0);
  effect.ProcessingSwitched(false);
  effect.ProcessingSwitched(true);
  const TwoBandProcessor& after = effect.Processor();
  for (int32_t channel = 0; channel < 2; ++channel) {
    EXPECT_EQ(after.filter[channel].filterZ1, before.filter[channel].filterZ1);
    EXPECT_EQ(after.filter[channel].filterZ2, before.filter[channel].filterZ2);
    EXPECT_EQ(after.smoothLow[channel], before.smoothLow[channel]);
    EXPECT_EQ(after.smoothHigh[channel], before.smoothHigh[channel]);
  }
}

}  // namespace
