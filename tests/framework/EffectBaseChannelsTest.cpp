// Channel configurations, routing and block running of the plug-in base.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/framework/TestEffect.h"

namespace {

std::vector<IChannelConfig> Configs(const IEffectBase& base) {
  std::vector<IChannelConfig> configs;
  for (int32_t i = 0; i < base.ChannelConfigCount(); ++i)
    configs.push_back(*base.ChannelConfigAt(i));
  return configs;
}

void ConnectAll(IEffectBase& base, int32_t frames = 1024) {
  base.ConnectInputs(0, base.InputCount(), true);
  base.ConnectOutputs(0, base.OutputCount(), true);
  base.PrepareForBlockSize(frames);
}

TEST(ChannelString, PairsSeparatedByBlanks) {
  TestEffect base("1-1 2-2");
  EXPECT_EQ(Configs(base), (std::vector<IChannelConfig>{{1, 1}, {2, 2}}));
  EXPECT_EQ(base.InputCount(), 2);
  EXPECT_EQ(base.OutputCount(), 2);
  EXPECT_TRUE(base.SupportsChannelCounts(1, -1));
  EXPECT_TRUE(base.SupportsChannelCounts(2, 2));
  EXPECT_TRUE(base.SupportsChannelCounts(-1, -1));
  EXPECT_FALSE(base.SupportsChannelCounts(2, 1));
}

TEST(ChannelString, UnusualStrings) {
  TestEffect none(nullptr);
  EXPECT_EQ(none.ChannelConfigCount(), 0);
  EXPECT_EQ(none.InputCount(), 0);
  EXPECT_EQ(none.OutputCount(), 0);
  EXPECT_FALSE(none.SupportsChannelCounts(-1, -1));

  TestEffect lone("2");
  EXPECT_EQ(Configs(lone), (std::vector<IChannelConfig>{{2, 0}}));
  EXPECT_EQ(lone.InputCount(), 2);
  EXPECT_EQ(lone.OutputCount(), 0);

  TestEffect trailing("1-1 ");
  EXPECT_EQ(Configs(trailing), (std::vector<IChannelConfig>{{1, 1}, {0, 0}}));
  EXPECT_EQ(trailing.InputCount(), 1);

  TestEffect twoBlanks("1-1  2-2");
  EXPECT_EQ(Configs(twoBlanks), (std::vector<IChannelConfig>{{1, 1}, {2, 2}, {2, 2}}));

  TestEffect spaced("1- 2");  // a blank before a number is skipped
  EXPECT_EQ(Configs(spaced), (std::vector<IChannelConfig>{{1, 2}, {2, 0}}));
}

TEST(ChannelString, DashMustFollowTheFirstCountAndEachBlankRestartsAtItsToken) {
  // The dash is matched literally: a blank before it ends the pair, and the
  // text after that blank is read as a pair of its own.
  TestEffect blankBeforeDash("1 -1");
  EXPECT_EQ(Configs(blankBeforeDash), (std::vector<IChannelConfig>{{1, 0}, {-1, 0}}));
  EXPECT_EQ(blankBeforeDash.InputCount(), 1);  // a negative count raises no maximum
  EXPECT_EQ(blankBeforeDash.OutputCount(), 0);

  // The next blank is searched from where the token started, so a leading
  // blank is found first and the same pair is read again after it.
  TestEffect leadingBlank(" 2-1");
  EXPECT_EQ(Configs(leadingBlank), (std::vector<IChannelConfig>{{2, 1}, {2, 1}}));

  // Counts that cannot be read stay 0; the second is only read after a dash.
  TestEffect unreadable("a-1 3-x");
  EXPECT_EQ(Configs(unreadable), (std::vector<IChannelConfig>{{0, 0}, {3, 0}}));
  EXPECT_EQ(unreadable.InputCount(), 3);
  EXPECT_EQ(unreadable.OutputCount(), 0);
  EXPECT_TRUE(unreadable.SupportsChannelCounts(-1, 0));
  EXPECT_FALSE(unreadable.SupportsChannelCounts(-1, 1));
}

TEST(Blocks, NoChannelsGiveNullArrays) {
  TestEffect base(nullptr);
  base.PrepareForBlockSize(64);
  base.RunBlockDouble(64);
  EXPECT_EQ(base.blocks, 1);
  EXPECT_EQ(base.lastInputs, nullptr);
  EXPECT_EQ(base.lastOutputs, nullptr);
}

TEST(Blocks, BaseProcessingCopiesInputsAndSilencesExtraOutputs) {
  TestEffect base("1-3");
  ConnectAll(base, 4);
  double in[4] = {1, 2, 3, 4};
  double out[3][4];
  std::memset(out, 0x55, sizeof out);
  double* ins[] = {in};
  double* outs[] = {out[0], out[1], out[2]};
  base.RouteInputsDouble(0, 1, ins);
  base.RouteOutputsDouble(0, 3, outs);
  base.RunBlockDouble(4);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(out[0][j], in[j]);
    EXPECT_EQ(out[1][j], 0.0);
    EXPECT_EQ(out[2][j], 0.0);
  }
}

TEST(Blocks, UnconnectedInputConsumesNoHostPointerAndReadsSilence) {
  TestEffect base;
  ConnectAll(base, 8);
  base.ConnectInputs(1, 1, false);
  float left[8] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
  const float* ins[] = {left};  // one pointer only: channel 1 takes none
  float outL[8] = {}, outR[8] = {};
  float* outs[] = {outL, outR};
  base.RouteInputsSingle(0, 2, ins, 8);
  base.RouteOutputsSingle(0, 2, outs);
  base.RunBlockSingleReplacing(8);
  ASSERT_NE(base.lastInputs, nullptr);
  EXPECT_EQ(base.lastInputs[1],
            reinterpret_cast<const double*>(base.InputChannelAt(1)->scratch.Data()));
  for (int j = 0; j < 8; ++j) {
    EXPECT_EQ(outL[j], 0.5f);
    EXPECT_EQ(outR[j], 0.0f);
  }
}

TEST(Blocks, DisconnectedChannelForgetsTheSamplesOfEarlierBlocks) {
  TestEffect base;
  ConnectAll(base, 4);
  float left[4] = {1, 1, 1, 1}, right[4] = {0.75f, 0.75f, 0.75f, 0.75f};
  const float* ins[] = {left, right};
  float outL[4], outR[4];
  float* outs[] = {outL, outR};
  base.RouteInputsSingle(0, 2, ins, 4);
  base.RouteOutputsSingle(0, 2, outs);
  base.RunBlockSingleReplacing(4);
  EXPECT_EQ(outR[0], 0.75f);

  base.ConnectInputs(1, 1, false);
  base.RouteInputsSingle(0, 2, ins, 4);
  base.RouteOutputsSingle(0, 2, outs);
  base.RunBlockSingleReplacing(4);
  for (int j = 0; j < 4; ++j) EXPECT_EQ(outR[j], 0.0f);
}

TEST(Blocks, SinglePrecisionRoundsToNearestAndAccumulatesInSingle) {
  TestEffect base("1-1");
  ConnectAll(base, 2);
  base.processor = [](double**, double** outputs, int32_t frames) {
    for (int32_t j = 0; j < frames; ++j) outputs[0][j] = j == 0 ? 0.5 : 0.1;
  };
  float in[2] = {};
  const float* ins[] = {in};
  float out[2] = {0.25f, 0.25f};
  float* outs[] = {out};
  base.RouteInputsSingle(0, 1, ins, 2);
  base.RouteOutputsSingle(0, 1, outs);
  base.RunBlockSingleAdding(2);
  EXPECT_EQ(out[0], 0.75f);
  EXPECT_EQ(out[1], 0.25f + 0.1f);  // 0.1 rounded to single, then a single-precision sum

  base.RouteInputsSingle(0, 1, ins, 2);
  base.RouteOutputsSingle(0, 1, outs);
  base.RunBlockSingleReplacing(2);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_EQ(out[1], 0.1f);
}

TEST(Blocks, SinglePrecisionSumIsOfTheRoundedSampleNotTheExactOne) {
  // s = 2^-24 + 2^-50 is exact in double.
  // Accumulating s onto 1.0f: s rounds to 2^-24 first; 1 + 2^-24 is then an
  // exact tie in single precision and goes to the even 1.0f. Summing in
  // double first and rounding once would give 1 + 2^-23.
  // Replacing with 1 + s = 1 + 2^-24 + 2^-50: just above the midpoint of 1
  // and 1 + 2^-23, so the nearest single is 1 + 2^-23 (truncation gives 1).
  const double s = std::ldexp(1.0, -24) + std::ldexp(1.0, -50);
  const float onePlusUlp = 1.0f + std::ldexp(1.0f, -23);
  TestEffect base("1-1");
  ConnectAll(base, 1);
  double written = 0.0;
  base.processor = [&written](double**, double** outputs, int32_t) { outputs[0][0] = written; };
  float in[1] = {};
  const float* ins[] = {in};
  float out[1] = {1.0f};
  float* outs[] = {out};

  written = s;
  base.RouteInputsSingle(0, 1, ins, 1);
  base.RouteOutputsSingle(0, 1, outs);
  base.RunBlockSingleAdding(1);
  EXPECT_EQ(out[0], 1.0f);

  written = 1.0 + s;
  base.RouteInputsSingle(0, 1, ins, 1);
  base.RouteOutputsSingle(0, 1, outs);
  base.RunBlockSingleReplacing(1);
  EXPECT_EQ(out[0], onePlusUlp);
}

void* FailingRealloc(void*, size_t) { return nullptr; }

TEST(Blocks, NewBlockSizeRepointsUnconnectedChannelsAtTheirMovedScratch) {
  TestEffect base;
  ConnectAll(base, 4);
  base.ConnectInputs(1, 1, false);
  base.ConnectOutputs(1, 1, false);
  // Reallocation in place is refused, so every scratch buffer moves.
  const IBufferAllocator previous =
      IGrowableBuffer::SetAllocatorForTesting({FailingRealloc, std::malloc, std::free});
  const uint8_t* oldInput = base.InputChannelAt(1)->scratch.Data();
  base.PrepareForBlockSize(5000);
  IGrowableBuffer::SetAllocatorForTesting(previous);

  const IInputChannel* input = base.InputChannelAt(1);
  const IOutputChannel* output = base.OutputChannelAt(1);
  ASSERT_NE(input->scratch.Data(), oldInput);
  EXPECT_EQ(*input->slot, reinterpret_cast<const double*>(input->scratch.Data()));
  EXPECT_EQ(*output->slot, reinterpret_cast<const double*>(output->scratch.Data()));
  EXPECT_EQ(input->scratch.Size(), 5000 * 8);
  EXPECT_EQ(base.BlockSize(), 5000);
}

TEST(Blocks, PreparingForTheCurrentSizeKeepsTheScratchContents) {
  TestEffect base("1-1");
  ConnectAll(base, 4);
  float in[4] = {0.25f, 0.5f, 0.75f, 1.0f};
  const float* ins[] = {in};
  base.RouteInputsSingle(0, 1, ins, 4);
  const uint8_t* before = base.InputChannelAt(0)->scratch.Data();
  base.PrepareForBlockSize(4);
  EXPECT_EQ(base.InputChannelAt(0)->scratch.Data(), before);
  EXPECT_EQ(reinterpret_cast<const double*>(before)[3], 1.0);
  base.PrepareForBlockSize(8);
  EXPECT_EQ(reinterpret_cast<const double*>(base.InputChannelAt(0)->scratch.Data())[3], 0.0);
  EXPECT_EQ(base.BlockSize(), 8);
}

TEST(Blocks, RangesOutsideTheChannelsTouchNothingElse) {
  TestEffect base;
  ConnectAll(base, 4);
  base.ConnectInputs(-1, 2, false);  // reaches channel 0 only
  EXPECT_FALSE(base.InputChannelAt(0)->connected);
  EXPECT_TRUE(base.InputChannelAt(1)->connected);
  base.ConnectOutputs(1, 1000, false);
  EXPECT_TRUE(base.OutputChannelAt(0)->connected);
  EXPECT_FALSE(base.OutputChannelAt(1)->connected);
  base.ConnectOutputs(INT32_MAX, INT32_MAX, true);
  base.ConnectOutputs(INT32_MIN, INT32_MAX, true);
  EXPECT_FALSE(base.OutputChannelAt(1)->connected);

  double a[4] = {}, b[4] = {};
  double* hosts[] = {a, b};
  base.RouteInputsDouble(-5, 100, hosts);  // channel 1 is the first connected: takes a
  base.RouteOutputsDouble(-1, 3, hosts);
  base.RunBlockDouble(4);
  EXPECT_EQ(base.lastInputs[1], a);
  EXPECT_EQ(base.lastOutputs[0], a);
}

TEST(Blocks, StereoInputsAllOutputs) {
  TestEffect base("4-4");
  ConnectAll(base, 4);
  base.ConnectOutputs(0, 4, false);
  base.UseStereoInputsAllOutputs();
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(base.InputChannelAt(i)->connected, i < 2) << i;
    EXPECT_EQ(base.OutputChannelAt(i)->connected, i >= 2) << i;
  }
}

// A running sum: sample-sequential, so any split into pieces gives the same
// samples.
struct RunningSum {
  double sum = 0.0;
  void operator()(double** inputs, double** outputs, int32_t frames) {
    for (int32_t j = 0; j < frames; ++j) {
      sum += inputs[0][j] + 2.0 * inputs[1][j];
      outputs[0][j] = sum;
      outputs[1][j] = -sum;
    }
  }
};

int allocations = 0;
void* CountingRealloc(void* block, size_t bytes) {
  ++allocations;
  return std::realloc(block, bytes);
}
void* CountingMalloc(size_t bytes) {
  ++allocations;
  return std::malloc(bytes);
}

TEST(Blocks, SinglePrecisionBlockLongerThanTheBlockSizeRunsInPieces) {
  constexpr int kFrames = 11;
  float left[kFrames], right[kFrames];
  for (int j = 0; j < kFrames; ++j) {
    left[j] = static_cast<float>(j) * 0.125f;
    right[j] = 1.0f - static_cast<float>(j) * 0.0625f;
  }
  float expectedL[kFrames], expectedR[kFrames];
  {
    TestEffect reference;
    ConnectAll(reference, 64);
    RunningSum sum;
    reference.processor = std::ref(sum);
    const float* ins[] = {left, right};
    float* outs[] = {expectedL, expectedR};
    reference.RouteInputsSingle(0, 2, ins, kFrames);
    reference.RouteOutputsSingle(0, 2, outs);
    reference.RunBlockSingleReplacing(kFrames);
  }

  TestEffect base;
  ConnectAll(base, 4);
  RunningSum sum;
  base.processor = std::ref(sum);
  float outL[kFrames + 1], outR[kFrames + 1];
  outL[kFrames] = outR[kFrames] = 99.0f;
  // In place, as hosts may do: the input is overwritten piece by piece.
  std::memcpy(outL, left, sizeof left);
  std::memcpy(outR, right, sizeof right);
  const float* ins[] = {outL, outR};
  float* outs[] = {outL, outR};

  const IBufferAllocator previous =
      IGrowableBuffer::SetAllocatorForTesting({CountingRealloc, CountingMalloc, std::free});
  allocations = 0;
  base.RouteInputsSingle(0, 2, ins, kFrames);
  base.RouteOutputsSingle(0, 2, outs);
  base.RunBlockSingleReplacing(kFrames);
  IGrowableBuffer::SetAllocatorForTesting(previous);

  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(base.longestPiece, 4);
  EXPECT_EQ(base.blocks, 3);  // 4 + 4 + 3
  for (int j = 0; j < kFrames; ++j) {
    EXPECT_EQ(outL[j], expectedL[j]) << j;
    EXPECT_EQ(outR[j], expectedR[j]) << j;
  }
  EXPECT_EQ(outL[kFrames], 99.0f);
}

TEST(Blocks, DoublePrecisionBlockWithAnUnconnectedChannelRunsInPieces) {
  TestEffect base;
  ConnectAll(base, 4);
  base.ConnectInputs(1, 1, false);
  RunningSum sum;
  base.processor = std::ref(sum);
  double in[10], out0[10], out1[10];
  for (int j = 0; j < 10; ++j) in[j] = j;
  double* ins[] = {in};
  double* outs[] = {out0, out1};
  base.RouteInputsDouble(0, 2, ins);
  base.RouteOutputsDouble(0, 2, outs);
  base.RunBlockDouble(10);
  EXPECT_EQ(base.longestPiece, 4);
  double expected = 0.0;
  for (int j = 0; j < 10; ++j) {
    expected += j;
    EXPECT_EQ(out0[j], expected);
    EXPECT_EQ(out1[j], -expected);
  }

  // All channels on host buffers: one call, whatever its length.
  base.ConnectInputs(1, 1, true);
  double* both[] = {in, in};
  base.RouteInputsDouble(0, 2, both);
  base.RouteOutputsDouble(0, 2, outs);
  base.longestPiece = 0;
  base.RunBlockDouble(10);
  EXPECT_EQ(base.longestPiece, 10);
}

TEST(Blocks, NoScratchMeansSilenceNotAnOverrun) {
  TestEffect base("1-1");
  base.ConnectInputs(0, 1, true);
  base.ConnectOutputs(0, 1, true);  // never prepared: no scratch at all
  float in[4] = {1, 1, 1, 1}, out[4] = {3, 3, 3, 3};
  const float* ins[] = {in};
  float* outs[] = {out};
  base.RouteInputsSingle(0, 1, ins, 4);
  base.RouteOutputsSingle(0, 1, outs);
  base.RunBlockSingleAdding(4);
  EXPECT_EQ(out[0], 3.0f);
  base.RunBlockSingleReplacing(4);
  EXPECT_EQ(out[3], 0.0f);
  EXPECT_EQ(base.blocks, 0);
}

TEST(Blocks, NoScratchForAnUnconnectedChannelMeansSilenceOnTheDoublePathToo) {
  TestEffect base;  // never prepared: the unconnected channel has no buffer
  base.ConnectInputs(0, 1, true);
  base.ConnectInputs(1, 1, false);
  base.ConnectOutputs(0, 2, true);
  RunningSum sum;  // reads both inputs
  base.processor = std::ref(sum);
  double in[4] = {1, 1, 1, 1}, out0[4] = {3, 3, 3, 3}, out1[4] = {3, 3, 3, 3};
  double* ins[] = {in};
  double* outs[] = {out0, out1};
  base.RouteInputsDouble(0, 2, ins);
  base.RouteOutputsDouble(0, 2, outs);
  base.RunBlockDouble(4);
  EXPECT_EQ(base.blocks, 0);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(out0[j], 0.0);
    EXPECT_EQ(out1[j], 0.0);
  }
}

}  // namespace
