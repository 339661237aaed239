// The three audio callbacks and the routing of the host's buffers. Each test
// compares instances that received identical requests, so the expected audio
// comes from the plug-in's own other path rather than from a copy of the
// processing formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "tests/vst/ModuleUnderTest.h"

namespace {

constexpr int32_t kFrames = 64;

// A deterministic test signal: two tones and a little of everything between.
std::vector<float> Signal(size_t frames, float phase) {
  std::vector<float> samples(frames);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) + phase;
    samples[i] = static_cast<float>(0.6 * std::sin(t * 0.05) + 0.3 * std::sin(t * 0.71 + phase));
  }
  return samples;
}

std::vector<double> Widened(const std::vector<float>& samples) {
  return std::vector<double>(samples.begin(), samples.end());
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class AudioCallbacks : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadedModule().IsLoaded()) << LoadedModule().Error();
    a = Start(hostA, 44100.0f, 512);
    b = Start(hostB, 44100.0f, 512);
  }

  static std::unique_ptr<HostedPlugin> Start(RecordingHost& host, float rate, intptr_t block) {
    auto plugin = std::make_unique<HostedPlugin>(ModuleEntry(), host);
    plugin->OpenAndStart(rate, block);
    return plugin;
  }

  // Runs processReplacing on a fresh copy of the signal; returns the outputs.
  static std::vector<std::vector<float>> Replacing(HostedPlugin& plugin, int32_t frames,
                                                   float phase = 0.0f) {
    std::vector<float> left = Signal(static_cast<size_t>(frames), phase);
    std::vector<float> right = Signal(static_cast<size_t>(frames), phase + 3.0f);
    std::vector<float> outLeft(static_cast<size_t>(frames)), outRight(static_cast<size_t>(frames));
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    plugin.Effect()->processReplacing(plugin.Effect(), inputs, outputs, frames);
    return {outLeft, outRight};
  }

  RecordingHost hostA, hostB;
  std::unique_ptr<HostedPlugin> a, b;
};

}  // namespace

TEST_F(AudioCallbacks, ReplacingWritesExactlyTheFramesOfTheBlock) {
  const float sentinel = 12345.0f;
  std::vector<float> left = Signal(kFrames, 0.0f), right = Signal(kFrames, 1.0f);
  std::vector<float> outLeft(kFrames + 16, sentinel), outRight(kFrames + 16, sentinel);
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  a->Effect()->processReplacing(a->Effect(), inputs, outputs, kFrames);
  bool anyNonZero = false;
  for (int32_t i = 0; i < kFrames; ++i) {
    ASSERT_NE(outLeft[i], sentinel);
    ASSERT_NE(outRight[i], sentinel);
    ASSERT_TRUE(std::isfinite(outLeft[i]) && std::isfinite(outRight[i]));
    anyNonZero = anyNonZero || outLeft[i] != 0.0f;
  }
  EXPECT_TRUE(anyNonZero);
  for (int32_t i = kFrames; i < kFrames + 16; ++i) {
    EXPECT_EQ(outLeft[i], sentinel);
    EXPECT_EQ(outRight[i], sentinel);
  }
  // The inputs are the host's and stay as they were.
  EXPECT_EQ(left, Signal(kFrames, 0.0f));
}

TEST_F(AudioCallbacks, AccumulatingAddsTheProcessedSamplesInSinglePrecision) {
  const std::vector<std::vector<float>> processed = Replacing(*a, kFrames);
  std::vector<float> left = Signal(kFrames, 0.0f), right = Signal(kFrames, 3.0f);
  std::vector<float> outLeft(kFrames), outRight(kFrames);
  for (int32_t i = 0; i < kFrames; ++i) {
    outLeft[i] = 0.25f + 0.001f * static_cast<float>(i);
    outRight[i] = -0.5f;
  }
  const std::vector<float> oldLeft = outLeft, oldRight = outRight;
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  b->Effect()->process(b->Effect(), inputs, outputs, kFrames);
  for (int32_t i = 0; i < kFrames; ++i) {
    const float expectedLeft = oldLeft[i] + processed[0][i];
    const float expectedRight = oldRight[i] + processed[1][i];
    ASSERT_TRUE(SameBits(outLeft[i], expectedLeft)) << i;
    ASSERT_TRUE(SameBits(outRight[i], expectedRight)) << i;
  }
}

TEST_F(AudioCallbacks, SinglePrecisionIsTheDoublePathRoundedToSingle) {
  const std::vector<std::vector<float>> single = Replacing(*a, kFrames);
  std::vector<double> left = Widened(Signal(kFrames, 0.0f));
  std::vector<double> right = Widened(Signal(kFrames, 3.0f));
  std::vector<double> outLeft(kFrames), outRight(kFrames);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  b->Effect()->processDoubleReplacing(b->Effect(), inputs, outputs, kFrames);
  for (int32_t i = 0; i < kFrames; ++i) {
    ASSERT_TRUE(SameBits(single[0][i], static_cast<float>(outLeft[i]))) << i;
    ASSERT_TRUE(SameBits(single[1][i], static_cast<float>(outRight[i]))) << i;
  }
}

// One stream through every block size from 1 to 4096 frames (8.4 million
// frames), announced as 4096: each single-precision form against the
// double-precision path rounded, in place on odd sizes and in separate arrays
// on even ones. (Accumulating in place adds the processed input to itself.)
TEST_F(AudioCallbacks, EveryBlockSizeMatchesTheDoublePathInPlaceOrNot) {
  using Stereo = std::array<std::vector<float>, 2>;
  const auto pointers = [](Stereo& s) { return std::array<float*, 2>{s[0].data(), s[1].data()}; };
  RecordingHost replacingHost, summingHost, doubleHost;
  std::unique_ptr<HostedPlugin> replacing = Start(replacingHost, 44100.0f, 4096);
  std::unique_ptr<HostedPlugin> summing = Start(summingHost, 44100.0f, 4096);
  std::unique_ptr<HostedPlugin> reference = Start(doubleHost, 44100.0f, 4096);
  float phase = 0.0f;
  for (int32_t frames = 1; frames <= 4096; phase += static_cast<float>(frames++)) {
    const auto length = static_cast<size_t>(frames);
    Stereo source{Signal(length, phase), Signal(length, phase + 3.0f)};
    std::array<std::vector<double>, 2> wide{Widened(source[0]), Widened(source[1])};
    std::array<double*, 2> wideInOut{wide[0].data(), wide[1].data()};
    reference->Effect()->processDoubleReplacing(reference->Effect(), wideInOut.data(),
                                                wideInOut.data(), frames);

    const bool inPlace = frames % 2 == 1;
    Stereo replaced{std::vector<float>(length), std::vector<float>(length)};
    Stereo summed{std::vector<float>(length, 0.5f), std::vector<float>(length, -0.25f)};
    if (inPlace) replaced = summed = source;
    const Stereo before = summed;
    std::array<float*, 2> replacedOut = pointers(replaced), summedOut = pointers(summed);
    std::array<float*, 2> sourceIn = pointers(source);
    replacing->Effect()->processReplacing(
        replacing->Effect(), (inPlace ? replacedOut : sourceIn).data(), replacedOut.data(), frames);
    summing->Effect()->process(summing->Effect(), (inPlace ? summedOut : sourceIn).data(),
                               summedOut.data(), frames);
    for (size_t channel = 0; channel < 2; ++channel) {
      for (size_t i = 0; i < length; ++i) {
        const float expected = static_cast<float>(wide[channel][i]);
        ASSERT_TRUE(SameBits(replaced[channel][i], expected))
            << frames << " frames, channel " << channel << ", frame " << i;
        ASSERT_TRUE(SameBits(summed[channel][i], before[channel][i] + expected))
            << frames << " frames accumulating, channel " << channel << ", frame " << i;
      }
    }
  }
}

TEST_F(AudioCallbacks, DoubleReplacingInPlaceEqualsSeparateArrays) {
  std::vector<double> left = Widened(Signal(kFrames, 0.0f));
  std::vector<double> right = Widened(Signal(kFrames, 3.0f));
  std::vector<double> outLeft(kFrames), outRight(kFrames);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  a->Effect()->processDoubleReplacing(a->Effect(), inputs, outputs, kFrames);

  std::vector<double> inPlaceLeft = Widened(Signal(kFrames, 0.0f));
  std::vector<double> inPlaceRight = Widened(Signal(kFrames, 3.0f));
  double* both[2] = {inPlaceLeft.data(), inPlaceRight.data()};
  b->Effect()->processDoubleReplacing(b->Effect(), both, both, kFrames);
  EXPECT_EQ(inPlaceLeft, outLeft);
  EXPECT_EQ(inPlaceRight, outRight);
}

TEST_F(AudioCallbacks, BlocksSplitDifferentlyGiveTheSameStream) {
  const std::vector<std::vector<float>> whole = Replacing(*a, 512);
  std::vector<float> left = Signal(512, 0.0f), right = Signal(512, 3.0f);
  std::vector<float> outLeft(512), outRight(512);
  for (int32_t offset = 0; offset < 512; offset += 64) {
    float* inputs[2] = {left.data() + offset, right.data() + offset};
    float* outputs[2] = {outLeft.data() + offset, outRight.data() + offset};
    b->Effect()->processReplacing(b->Effect(), inputs, outputs, 64);
  }
  EXPECT_EQ(outLeft, whole[0]);
  EXPECT_EQ(outRight, whole[1]);
}

// Ardour's pattern for VST: cycles of 1024 frames in two sets of separate
// input and output buffers taken in turn, each output still holding what
// was written there two cycles before. The left input fades into samples
// below the silence threshold and the normal range, then into silence. The
// stream equals the one run in place through a single pair of buffers, bit
// for bit.
TEST_F(AudioCallbacks, AlternatingBufferSetsGiveTheStreamOfOneBufferPair) {
  constexpr int32_t kCycle = 1024, kCycles = 48;
  RecordingHost hostC, hostD;
  std::unique_ptr<HostedPlugin> alternating = Start(hostC, 44100.0f, kCycle);
  std::unique_ptr<HostedPlugin> straight = Start(hostD, 44100.0f, kCycle);
  const std::vector<float> right = Signal(kCycle * kCycles, 3.0f);
  std::vector<float> left = Signal(kCycle * kCycles, 0.0f);
  for (size_t i = 0; i < left.size(); ++i) {
    const size_t phase = i % 16000;
    left[i] *= phase < 6000 ? 1.0f : phase < 12000 ? std::exp(-0.02f * (phase - 6000)) : 0.0f;
  }
  // Per set: input left and right, output left and right.
  std::vector<std::vector<float>> sets(8, std::vector<float>(kCycle));
  size_t differing = 0;
  for (int32_t c = 0; c < kCycles; ++c) {
    const auto cycle = [&](const std::vector<float>& channel) {
      return channel.begin() + c * kCycle;
    };
    std::vector<float> pair[2] = {{cycle(left), cycle(left) + kCycle},
                                  {cycle(right), cycle(right) + kCycle}};
    float* both[2] = {pair[0].data(), pair[1].data()};
    straight->Effect()->processReplacing(straight->Effect(), both, both, kCycle);
    std::vector<float>* set = &sets[4 * static_cast<size_t>(c % 2)];
    std::copy(cycle(left), cycle(left) + kCycle, set[0].begin());
    std::copy(cycle(right), cycle(right) + kCycle, set[1].begin());
    float* inputs[2] = {set[0].data(), set[1].data()};
    float* outputs[2] = {set[2].data(), set[3].data()};
    alternating->Effect()->processReplacing(alternating->Effect(), inputs, outputs, kCycle);
    for (int channel = 0; channel < 2; ++channel) {
      for (int32_t j = 0; j < kCycle; ++j)
        differing += SameBits(set[2 + channel][j], pair[channel][j]) ? 0 : 1;
    }
  }
  EXPECT_EQ(differing, 0u);
}

TEST_F(AudioCallbacks, BlocksLongerThanAnnouncedAreProcessedWhole) {
  // The host announced 32 frames but sends 512: nothing is overrun and the
  // stream equals that of a host that announced 512.
  RecordingHost smallHost;
  std::unique_ptr<HostedPlugin> small = Start(smallHost, 44100.0f, 32);
  EXPECT_EQ(Replacing(*small, 512), Replacing(*a, 512));
}

TEST_F(AudioCallbacks, UnusableBlockSizesKeepWorkingBuffers) {
  for (intptr_t size : {intptr_t{0}, intptr_t{-1}, static_cast<intptr_t>(int64_t{1} << 40)}) {
    a->Dispatch(effSetBlockSize, 0, size);
    b->Dispatch(effSetBlockSize, 0, size);
  }
  EXPECT_EQ(Replacing(*a, 256), Replacing(*b, 256));
  const std::vector<std::vector<float>> out = Replacing(*a, 256);
  for (float v : out[0]) ASSERT_TRUE(std::isfinite(v));
}

TEST_F(AudioCallbacks, EmptyAndNegativeBlocksWriteNothing) {
  std::vector<float> in(8, 0.5f), out(8, 7.0f);
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {out.data(), out.data()};
  std::vector<double> inD(8, 0.5), outD(8, 7.0);
  double* inputsD[2] = {inD.data(), inD.data()};
  double* outputsD[2] = {outD.data(), outD.data()};
  for (int32_t frames : {0, -1, -1000000}) {
    a->Effect()->processReplacing(a->Effect(), inputs, outputs, frames);
    a->Effect()->process(a->Effect(), inputs, outputs, frames);
    a->Effect()->processDoubleReplacing(a->Effect(), inputsD, outputsD, frames);
  }
  EXPECT_EQ(out, std::vector<float>(8, 7.0f));
  EXPECT_EQ(outD, std::vector<double>(8, 7.0));
}

TEST_F(AudioCallbacks, SampleRateReachesTheProcessing) {
  // Switching off and on again at the same rate changes nothing audible.
  b->Dispatch(effMainsChanged, 0, 0);
  b->Dispatch(effMainsChanged, 0, 1);
  EXPECT_EQ(Replacing(*b, 256), Replacing(*a, 256));
  RecordingHost fastHost, slowHost;
  std::unique_ptr<HostedPlugin> fast = Start(fastHost, 96000.0f, 512);
  std::unique_ptr<HostedPlugin> slow = Start(slowHost, 44100.0f, 512);
  EXPECT_NE(Replacing(*fast, 256), Replacing(*slow, 256));
}

TEST_F(AudioCallbacks, ConnectedChannelsFollowTheSpeakerArrangement) {
  // One input and one output connected: the host passes one pointer each;
  // the second input reads silence, also after it carried audio before.
  EXPECT_EQ(Replacing(*a, kFrames, 9.0f), Replacing(*b, kFrames, 9.0f));
  VstSpeakerArrangement mono{};
  mono.type = kSpeakerArrMono;
  mono.numChannels = 1;
  EXPECT_EQ(a->Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &mono), 1);
  std::vector<float> left = Signal(kFrames, 0.0f);
  std::vector<float> out(kFrames);
  float* inputs[2] = {left.data(), nullptr};
  float* outputs[2] = {out.data(), nullptr};
  a->Effect()->processReplacing(a->Effect(), inputs, outputs, kFrames);

  std::vector<float> silence(kFrames, 0.0f), leftB = Signal(kFrames, 0.0f);
  std::vector<float> outB(kFrames), unused(kFrames);
  float* inputsB[2] = {leftB.data(), silence.data()};
  float* outputsB[2] = {outB.data(), unused.data()};
  b->Effect()->processReplacing(b->Effect(), inputsB, outputsB, kFrames);
  EXPECT_EQ(out, outB);
}

TEST_F(AudioCallbacks, HostileChannelCountsStayWithinTheChannels) {
  VstSpeakerArrangement none{};
  none.numChannels = -5;
  VstSpeakerArrangement many{};
  many.numChannels = 1000;
  EXPECT_EQ(a->Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&none), &many), 1);
  // No input is connected, so the host's input array is never read.
  std::vector<float> outLeft(kFrames), outRight(kFrames);
  float* outputs[2] = {outLeft.data(), outRight.data()};
  a->Effect()->processReplacing(a->Effect(), nullptr, outputs, kFrames);

  std::vector<float> silence(kFrames, 0.0f);
  std::vector<float> outBLeft(kFrames), outBRight(kFrames);
  float* inputsB[2] = {silence.data(), silence.data()};
  float* outputsB[2] = {outBLeft.data(), outBRight.data()};
  b->Effect()->processReplacing(b->Effect(), inputsB, outputsB, kFrames);
  EXPECT_EQ(outLeft, outBLeft);
  EXPECT_EQ(outRight, outBRight);

  // Back to stereo.
  VstSpeakerArrangement stereo{};
  stereo.numChannels = 2;
  a->Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&stereo), &stereo);
  EXPECT_EQ(Replacing(*a, kFrames, 5.0f), Replacing(*b, kFrames, 5.0f));
}
