// The demo's synthesised input and the analysis behind its plots.
#include "tools/demo/AudioAnalysis.h"
#include "tools/demo/DemoSong.h"
#include "tools/demo/TransferCurve.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/ProgramSelection.h"

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
  // Frequencies on bin centres, near 1 kHz with the old 8192-point analysis
  // and near 41 Hz (a bass's low E) with the page's 1 Hz bins from 10 Hz.
  const struct {
    int rate;
    int fftSize;
    double lowestHz;
    int bands;
    double hz;
  } cases[] = {{48000, 8192, 20.0, 300, 48000.0 / 8192.0 * 171.0},
               {44100, 65536, 10.0, 400, 44100.0 / 65536.0 * 61.0}};
  for (const auto& c : cases) {
    std::vector<double> sine(static_cast<size_t>(c.rate) * 4);
    for (size_t i = 0; i < sine.size(); ++i) {
      sine[i] = std::sin(2.0 * std::numbers::pi * c.hz * static_cast<double>(i) / c.rate);
    }
    const std::vector<demo::SpectrumPoint> spectrum =
        demo::AverageSpectrum(sine, c.rate, c.fftSize, c.lowestHz, c.bands);
    ASSERT_EQ(spectrum.size(), static_cast<size_t>(c.bands));
    const auto loudest = std::max_element(spectrum.begin(), spectrum.end(),
                                          [](const auto& a, const auto& b) { return a.db < b.db; });
    // Scaled so the centre bin's power is 1; the Hann window puts half the
    // amplitude (power 1/4) into each neighbour, so a band's mean power lies
    // between 1 (a band of one bin) and 1.5 / 4 (-4.3 dB) for three or more,
    // with -6 dB for a band holding one neighbour and the centre elsewhere.
    EXPECT_NEAR(loudest->hz, c.hz, c.hz * 0.02) << c.hz;
    EXPECT_LE(loudest->db, 0.01) << c.hz;
    EXPECT_GE(loudest->db, -6.03) << c.hz;
    EXPECT_GT(spectrum.front().hz, c.lowestHz);
    EXPECT_LT(spectrum.front().hz, c.lowestHz * 1.05);
    // Far from the tone, the window's sidelobes have fallen away.
    for (const demo::SpectrumPoint& p : spectrum) {
      if (p.hz < c.hz / 2 || p.hz > c.hz * 2) {
        EXPECT_LT(p.db, -60.0) << c.hz << ": " << p.hz;
      }
    }
  }
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

  // Overs are marked per column from every channel, with their sign.
  const std::vector<double> stereo = {0.5, 1.0, -1.25, 0.2, 0.1, 0.1, 0.3, 1.5};
  const std::vector<demo::OverMark> overs = demo::OversByColumn(stereo, 2, 2, 2);
  ASSERT_EQ(overs.size(), 2u);
  EXPECT_DOUBLE_EQ(overs[0].seconds, 0.0);
  EXPECT_DOUBLE_EQ(overs[0].value, -1.25);
  EXPECT_DOUBLE_EQ(overs[1].seconds, 1.0);
  EXPECT_DOUBLE_EQ(overs[1].value, 1.5);
}

TEST(DemoAnalysis, TransferCurveOfAPlainFilterIsItsGainAtEveryLevel) {
  // The test plug-in is y[n] = g (x[n] + 0.5 x[n-1]) at 44.1 kHz: a straight
  // line |g (1 + 0.5 e^-jw)| above the diagonal, whatever the level.
  for (const auto& [program, gain] :
       {std::pair{"Unity", 1.0}, {"Half", 0.5}, {"Double Gain", 2.0}}) {
    for (const double hz : {100.0, 5000.0}) {
      render::PluginInstance plugin(DM_TEST_GAIN_PLUGIN);
      plugin.Open();
      plugin.SetSampleRateAndBlockSize(44100.0, 512);
      render::SelectProgram(plugin, render::FindProgram(plugin, program));
      plugin.Start();
      const std::vector<demo::TransferPoint> curve =
          demo::MeasureTransfer(plugin, 44100.0, hz, -60.0, 0.0, 1.0);
      const double w = 2.0 * std::numbers::pi * hz / 44100.0;
      const double db = 20.0 * std::log10(gain * std::sqrt(1.25 + std::cos(w)));
      ASSERT_EQ(curve.size(), 61u);
      for (const demo::TransferPoint& p : curve) {
        EXPECT_NEAR(p.outputDb, p.inputDb + db, 0.01) << program << ", " << hz << " Hz";
      }
      EXPECT_DOUBLE_EQ(curve.front().inputDb, -60.0);
      EXPECT_NEAR(curve.back().inputDb, 0.0, 1e-9);
    }
  }
}

}  // namespace
