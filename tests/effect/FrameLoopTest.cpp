// The vector frame loop against the scalar reference, bit for bit: every
// program, rates from 8 kHz to 768 kHz, torture signals (denormals, the
// silence threshold, impulses, non-finite bursts, one channel silent), odd
// block lengths, in-place and separate buffers.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "effect/FactoryPrograms.h"
#include "effect/TwoBandFrames.h"
#include "tests/effect/TestSignals.h"

namespace {

// Equal bits, except that any NaN matches any NaN: which payload a NaN
// carries through two NaN operands depends on the operand order the
// compiler picks for the scalar code.
bool SameSample(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Torture {
  std::string name;
  std::vector<double> left, right;
};

std::vector<double> Repeat(std::initializer_list<double> pattern, size_t frames) {
  std::vector<double> out(frames);
  for (size_t i = 0; i < frames; ++i) out[i] = pattern.begin()[i % pattern.size()];
  return out;
}

// a, then b, cut to the length of b.
std::vector<double> Concat(std::vector<double> a, const std::vector<double>& b) {
  a.insert(a.end(), b.begin(), b.end());
  a.resize(b.size());
  return a;
}

std::vector<Torture> TortureSignals() {
  constexpr size_t n = 700;
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double tiny = std::numeric_limits<double>::denorm_min();
  const std::vector<double> denormals =
      Repeat({1e-310, -3e-320, tiny, -tiny, 0.0, -0.0, DBL_MIN, -DBL_MIN / 3}, n);
  const std::vector<double> threshold =
      Repeat({1e-15, -1e-15, std::nextafter(1e-15, 1.0), 0.0, -std::nextafter(1e-15, 0.0)}, n);
  // Nothing at or above the normal range, so whole runs of frames hold no
  // exponent bit.
  const std::vector<double> subnormals = Repeat({1e-310, -3e-320, tiny, 0.0, -tiny, -2.5e-309}, n);
  std::vector<double> impulse(n, 0.0);
  impulse[3] = 1.0;
  std::vector<double> burst = Noise(n, 9);
  burst[100] = nan, burst[101] = inf, burst[300] = -inf, burst[301] = 1e308, burst[302] = -1e308;
  return {
      {"noise", Noise(n, 1), Noise(n, 2)},
      {"noise then denormals", Concat(Noise(200, 3), denormals), Concat(Noise(150, 4), denormals)},
      {"impulse decaying to silence", impulse, Concat(Noise(5, 5), std::vector<double>(n, 0.0))},
      {"around the silence threshold", Concat(Noise(50, 6), threshold), threshold},
      {"one channel silent", Noise(n, 7), std::vector<double>(n, 0.0)},
      {"ringing into subnormals", Concat(Noise(64, 12), subnormals),
       Concat(Noise(40, 13), subnormals)},
      {"one channel denormal", Concat(Noise(90, 8), denormals), Noise(n, 8)},
      {"non-finite bursts", burst, Concat(Noise(300, 10), Repeat({inf, -inf, nan, 0.25}, n))},
      {"extremes", Repeat({1.0, -1.0, 1e10, -1e-300, 1e-300, 0.5}, n), Noise(n, 11, 1e6)},
  };
}

std::vector<std::vector<int32_t>> AllPrograms() {
  std::vector<std::vector<int32_t>> programs{product::As<int32_t>(product::kDefaults)};
  for (const FactoryProgram& p : kFactoryPrograms) programs.emplace_back(p.values, p.values + 9);
  return programs;
}

TwoBandProcessor Configured(const std::vector<int32_t>& values, double rate) {
  TwoBandProcessor p;
  for (int32_t i = 0; i < 9; ++i) ApplyParameterToProcessor(i, values[i], p);
  p.ApplySampleRate(rate);
  return p;
}

enum class Buffers { Separate, InPlace, LeftOutputOnRightInput };

// Runs the signal in blocks of a varying odd length through the loop.
StereoRun RunThrough(TwoBandProcessor p, TwoBandFrameLoop loop, const Torture& t, Buffers buffers) {
  StereoRun out{t.left, t.right};
  std::vector<double> inLeft = t.left, inRight = t.right;
  const size_t frames = t.left.size();
  size_t block = 1;
  for (size_t start = 0; start < frames; start += block, block = block * 3 % 67 + 2) {
    block = std::min(block, frames - start);
    const double* inputs[2] = {inLeft.data() + start, inRight.data() + start};
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    if (buffers == Buffers::InPlace) inputs[0] = outputs[0], inputs[1] = outputs[1];
    if (buffers == Buffers::LeftOutputOnRightInput) {
      // Left output written over the right input: the right channel then
      // reads what the left one wrote in the same frame.
      inputs[1] = outputs[0];
      std::copy_n(inRight.data() + start, block, out.left.data() + start);
    }
    p.ProcessBlockWith(loop, inputs, outputs, static_cast<int32_t>(block));
  }
  return out;
}

// The vector units this build and processor can run, each once.
std::vector<TwoBandFrameLoop> VectorUnits() {
  std::vector<TwoBandFrameLoop> units;
  for (int32_t level = 0; level <= static_cast<int32_t>(Platform_CpuLevel()); ++level) {
    const TwoBandFrameLoop loop = FrameLoopFor(static_cast<CpuLevel>(level));
    if (units.empty() || units.back() != loop) units.push_back(loop);
  }
  return units;
}

TEST(FrameLoop, VectorLoopReproducesTheScalarLoopBitForBit) {
  const std::vector<Torture> signals = TortureSignals();
  const std::vector<std::vector<int32_t>> programs = AllPrograms();
  for (const double rate : {8000.0, 44100.0, 96000.0, 768000.0}) {
    for (size_t program = 0; program < programs.size(); ++program) {
      const TwoBandProcessor processor = Configured(programs[program], rate);
      for (const Torture& signal : signals) {
        for (const Buffers buffers :
             {Buffers::Separate, Buffers::InPlace, Buffers::LeftOutputOnRightInput}) {
          const StereoRun expected = RunThrough(processor, ProcessFramesScalar, signal, buffers);
          for (const TwoBandFrameLoop unit : VectorUnits()) {
            const StereoRun actual = RunThrough(processor, unit, signal, buffers);
            for (size_t i = 0; i < expected.left.size(); ++i) {
              ASSERT_TRUE(SameSample(actual.left[i], expected.left[i]) &&
                          SameSample(actual.right[i], expected.right[i]))
                  << signal.name << ", program " << program << ", " << rate << " Hz, buffers "
                  << static_cast<int>(buffers) << ", unit "
                  << (unit == ProcessFramesSse2 ? "SSE2" : "AVX") << ", frame " << i << ": "
                  << actual.left[i] << " " << expected.left[i] << " / " << actual.right[i] << " "
                  << expected.right[i];
            }
          }
        }
      }
    }
  }
}

// One noise stream through every block size from 1 to 4096 frames, in place
// on odd sizes: the lanes' set-up, chunks and tails at every length.
TEST(FrameLoop, EveryBlockSizeReproducesTheScalarLoop) {
  const TwoBandProcessor configured = Configured(AllPrograms()[11], 48000.0);
  for (const TwoBandFrameLoop unit : VectorUnits()) {
    TwoBandProcessor scalar = configured, vector = configured;
    for (int32_t frames = 1; frames <= 4096; ++frames) {
      const auto length = static_cast<size_t>(frames);
      const Torture signal{"", Noise(length, 2 * frames), Noise(length, 2 * frames + 1)};
      const Buffers buffers = frames % 2 == 1 ? Buffers::InPlace : Buffers::Separate;
      StereoRun expected{signal.left, signal.right}, actual = expected;
      for (auto [processor, loop, out] :
           {std::tuple{&scalar, TwoBandFrameLoop{ProcessFramesScalar}, &expected},
            std::tuple{&vector, unit, &actual}}) {
        const double* inputs[2] = {signal.left.data(), signal.right.data()};
        double* outputs[2] = {out->left.data(), out->right.data()};
        if (buffers == Buffers::InPlace) inputs[0] = outputs[0], inputs[1] = outputs[1];
        processor->ProcessBlockWith(loop, inputs, outputs, frames);
      }
      for (size_t i = 0; i < length; ++i) {
        ASSERT_TRUE(SameSample(actual.left[i], expected.left[i]) &&
                    SameSample(actual.right[i], expected.right[i]))
            << frames << " frames, frame " << i;
      }
    }
  }
}

// Denormal input where the other term of a sum is too small to hide the
// product: a crossover without feedback (t = 0 with live state), or a dry
// mix (w = 0), or terms just large enough for the product to show. The vector loop must fall back
// to the true product there.
TEST(FrameLoop, DenormalInputNextToSmallTermsKeepsItsProduct) {
  const BandConstants band{1.5, 0.5, 0.8, 0.5, 0.5}, other{2.0, 1.0, 0.7, 0.6, 0.4};
  struct Case {
    const char* name;
    BlockConstants constants;
    ChannelState state;
  };
  const Case cases[] = {
      {"no feedback", {0.25, 0.0, 0.0, 0.5, 0.5, band, other}, {1.0, 1.0, 0.1, 0.1}},
      {"cancelling feedback", {0.25, 1.0, 1.0, 0.5, 0.5, band, other}, {-0.5, 0.5, 0.1, 0.1}},
      {"feeble feedback", {0.25, 2e-300, 0.0, 0.5, 0.5, band, other}, {0.0, 0.5, 0.1, 0.1}},
      {"dry only", {0.25, -1.5, 0.6, 1.0, 0.0, band, other}, {0.3, 0.4, 0.0, 0.0}},
      {"feeble wet", {0.25, -1.5, 0.6, 1.0, 1e-300, band, other}, {0.3, 0.4, 0.0, 0.0}},
  };
  const std::vector<double> input = Repeat({1e-310, -2e-315, 4e-320, 0.0, -1e-312}, 9);
  for (const TwoBandFrameLoop unit : VectorUnits()) {
    for (const Case& c : cases) {
      // One frame per call, so that every frame's state is compared too.
      ChannelState expected[2] = {c.state, c.state}, actual[2] = {c.state, c.state};
      std::vector<double> outputs[2];
      for (size_t i = 0; i < input.size(); ++i) {
        double expectedOut[2], actualOut[2];
        ProcessFramesScalar({&input[i], &input[i], &expectedOut[0], &expectedOut[1], 1},
                            c.constants, expected[0], expected[1]);
        unit({&input[i], &input[i], &actualOut[0], &actualOut[1], 1}, c.constants, actual[0],
             actual[1]);
        for (int ch = 0; ch < 2; ++ch) {
          outputs[ch].push_back(expectedOut[ch]);
          EXPECT_TRUE(SameSample(actualOut[ch], expectedOut[ch]) &&
                      SameSample(actual[ch].filterZ1, expected[ch].filterZ1))
              << c.name << " frame " << i << ": " << actualOut[ch] << " " << expectedOut[ch] << ", "
              << actual[ch].filterZ1 << " " << expected[ch].filterZ1;
        }
      }
      // Then all frames in one call, where runs of them share one test.
      ChannelState whole[2] = {c.state, c.state};
      std::vector<double> left(input.size()), right(input.size());
      unit({input.data(), input.data(), left.data(), right.data(),
            static_cast<int32_t>(input.size())},
           c.constants, whole[0], whole[1]);
      for (size_t i = 0; i < input.size(); ++i) {
        EXPECT_TRUE(SameSample(left[i], outputs[0][i]) && SameSample(right[i], outputs[1][i]))
            << c.name << " in one block, frame " << i;
      }
    }
  }
}

}  // namespace
