// Oversampled renders through duoMangler: timing kept, aliases filtered.
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

using tool_test::Audio;
using tool_test::TempFolder;

constexpr int kRate = 44100;

Audio Mono(std::vector<double> samples) {
  Audio a;
  a.channels = 1;
  a.sampleRate = kRate;
  a.format = tool_test::kFloatWav;
  a.samples = std::move(samples);
  return a;
}

std::vector<double> Sine(double hz, double dbfs, int64_t frames) {
  std::vector<double> s(static_cast<size_t>(frames));
  const double amplitude = std::pow(10.0, dbfs / 20.0);
  for (size_t i = 0; i < s.size(); ++i) {
    s[i] = amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate);
  }
  return s;
}

// Renders a mono file through duoMangler; the output's samples.
std::vector<double> Render(const Audio& in, std::vector<std::string> options) {
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"), in);
  options.insert(options.begin(), {"--plugin", DM_DUO_MANGLER_PLUGIN, "-q"});
  options.insert(options.end(), {dir.Path("in.wav"), dir.Path("out.wav")});
  const tool_test::RunResult run = tool_test::RunRender(options);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return run.exitCode == 0 ? tool_test::ReadAudio(dir.Path("out.wav")).samples
                           : std::vector<double>{};
}

// The level of one sine in dBFS, from a Blackman-Harris windowed DFT bin
// over the second half of the samples (past any start-up).
double ToneDb(const std::vector<double>& samples, double hz) {
  const size_t from = samples.size() / 2;
  const size_t n = samples.size() - from;
  std::complex<double> sum = 0.0;
  double weights = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double p = 2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1);
    const double w =
        0.35875 - 0.48829 * std::cos(p) + 0.14128 * std::cos(2 * p) - 0.01168 * std::cos(3 * p);
    sum += w * samples[from + i] *
           std::polar(1.0, -2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate);
    weights += w;
  }
  return 20.0 * std::log10(2.0 * std::abs(sum) / weights);
}

TEST(Oversampling, FiltersTheShapersAliasAndKeepsTheLowLevel) {
  const std::vector<std::string> drive = {"--program", "Guitar More Drive 2"};
  std::vector<std::string> drive4 = drive;
  drive4.insert(drive4.end(), {"--oversample", "4"});
  const Audio high = Mono(Sine(4700.0, -6.0, kRate));
  const Audio low = Mono(Sine(100.0, -6.0, kRate));

  const double alias = ToneDb(Render(high, drive), 1800.0);
  const double alias4 = ToneDb(Render(high, drive4), 1800.0);
  const double level = ToneDb(Render(low, drive), 100.0);
  const double level4 = ToneDb(Render(low, drive4), 100.0);
  std::printf(
      "alias of a -6 dBFS 4.7 kHz sine at 1.8 kHz: %.1f dBFS, with --oversample 4 %.1f "
      "dBFS (%.1f dB lower)\n100 Hz sine: %.3f dBFS, with --oversample 4 %.3f dBFS\n",
      alias, alias4, alias - alias4, level, level4);
  EXPECT_NEAR(alias, -30.0, 6.0);
  EXPECT_LE(alias4, alias - 40.0);
  EXPECT_NEAR(level4, level, 0.1);
}

// A sine that fades in and out over 1000 frames, so it has no edges whose
// ringing a band-limited copy would show.
std::vector<double> FadedSine(int64_t frames) {
  std::vector<double> s = Sine(1000.0, -6.0, frames);
  const int64_t fade = std::min<int64_t>(1000, frames / 2);
  for (int64_t i = 0; i < fade; ++i) {
    const double gain = 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / fade);
    s[static_cast<size_t>(i)] *= gain;
    s[static_cast<size_t>(frames - 1 - i)] *= gain;
  }
  return s;
}

// With Mix at 0 the plug-in passes its input; oversampled, the length must
// stay the input's, a click must stay at its frame and a sine in phase, at
// any factor and any length.
TEST(Oversampling, KeepsLengthAndTiming) {
  for (const int factor : {2, 4, 8}) {
    for (const int64_t frames : {int64_t{1}, int64_t{777}, int64_t{100003}}) {
      const std::vector<double> sine = FadedSine(frames);
      std::vector<double> in = sine;
      const int64_t click = frames / 3;
      in[static_cast<size_t>(click)] += 0.4;
      const std::vector<double> out =
          Render(Mono(in), {"--param", "Mix=0", "--oversample", std::to_string(factor)});
      ASSERT_EQ(out.size(), in.size()) << factor << "x, " << frames << " frames";
      // The band-limited click: its peak at its frame, symmetric around it.
      const auto clickAt = [&](int64_t offset) {
        const size_t i = static_cast<size_t>(click + offset);
        return out[i] - sine[i];
      };
      if (frames > 1) {
        EXPECT_GT(clickAt(0), 0.35) << factor << "x, " << frames << " frames";
        EXPECT_NEAR(clickAt(-1), clickAt(1), 1e-4) << factor << "x, " << frames << " frames";
      }
      double worst = 0.0;
      for (int64_t i = 0; i < frames; ++i) {
        if (std::abs(i - click) > 300) {
          worst =
              std::max(worst, std::abs(out[static_cast<size_t>(i)] - sine[static_cast<size_t>(i)]));
        }
      }
      EXPECT_LT(worst, 1e-4) << factor << "x, " << frames << " frames";
    }
  }
}

}  // namespace
