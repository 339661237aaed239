// The demo's synthesised input and the analysis behind its plots.
#include "tools/demo/AudioAnalysis.h"
#include "tools/demo/DemoSong.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double PeakOf(const std::vector<double>& v, size_t begin, size_t end) {
  double peak = 0.0;
  for (size_t i = begin; i < end; ++i) {
    peak = std::max(peak, std::fabs(v[i]));
  }
  return peak;
}

TEST(DemoSong, EightSecondsPeakingAtMinusSixDbfsAndTheSameEveryTime) {
  const demo::StereoAudio song = demo::MakeDemoSong(48000);
  // 4 bars of 16 sixteenths at 120 bpm; a sixteenth is 6000 frames at 48 kHz.
  ASSERT_EQ(song.left.size(), 4u * 16u * 6000u);
  ASSERT_EQ(song.right.size(), song.left.size());
  EXPECT_DOUBLE_EQ(
      std::max(PeakOf(song.left, 0, song.left.size()), PeakOf(song.right, 0, song.right.size())),
      0.5);
  // Every bar has sound on both sides (an unstable voice would have made the
  // normalisation silence everything).
  for (size_t bar = 0; bar < 4; ++bar) {
    const size_t begin = bar * 96000;
    EXPECT_GT(PeakOf(song.left, begin, begin + 96000), 0.1) << bar;
    EXPECT_GT(PeakOf(song.right, begin, begin + 96000), 0.1) << bar;
  }
  EXPECT_EQ(demo::MakeDemoSong(48000).left, song.left);
}

TEST(DemoAnalysis, FullScaleSineReadsZeroDbfsInItsBand) {
  // A frequency on a bin centre near 1 kHz: 48000 / 8192 * 171 = 1001.95 Hz.
  const double hz = 48000.0 / 8192.0 * 171.0;
  std::vector<double> sine(48000);
  for (size_t i = 0; i < sine.size(); ++i) {
    sine[i] = std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / 48000.0);
  }
  const std::vector<demo::SpectrumPoint> spectrum = demo::AverageSpectrum(sine, 48000, 8192, 300);
  ASSERT_EQ(spectrum.size(), 300u);
  const auto loudest = std::max_element(spectrum.begin(), spectrum.end(),
                                        [](const auto& a, const auto& b) { return a.db < b.db; });
  // Scaled so the centre bin's power is 1; the Hann window puts half the
  // amplitude (power 1/4) into each neighbour. A band there is about 24 Hz,
  // four bins of 5.86 Hz, so its mean power lies between 1.5 / 4 (-4.3 dB)
  // and 1 / 4 (-6.0 dB) depending on where its edges fall.
  EXPECT_NEAR(loudest->hz, hz, hz * 0.02);
  EXPECT_LE(loudest->db, -4.2);
  EXPECT_GE(loudest->db, -6.03);
  EXPECT_LT(spectrum.front().db, -60.0);
  EXPECT_LT(spectrum.back().db, -60.0);
}

TEST(DemoAnalysis, EnvelopeHoldsEachColumnsExtremes) {
  std::vector<double> samples = {0.1, -0.2, 0.3, 0.0, -0.5, 0.25};
  const std::vector<demo::EnvelopeColumn> columns = demo::WaveformEnvelope(samples, 2, 3);
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_DOUBLE_EQ(columns[0].low, -0.2);
  EXPECT_DOUBLE_EQ(columns[0].high, 0.1);
  EXPECT_DOUBLE_EQ(columns[1].seconds, 1.0);
  EXPECT_DOUBLE_EQ(columns[2].low, -0.5);
  EXPECT_DOUBLE_EQ(columns[2].high, 0.25);
  EXPECT_TRUE(demo::WaveformEnvelope({}, 44100, 10).empty());
}

}  // namespace
