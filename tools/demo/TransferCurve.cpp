#include "tools/demo/TransferCurve.h"

#include "tools/render/PluginInstance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {
namespace {

constexpr int kBlock = 512;
// Each level plays this long; the last quarter is measured. The slowest
// thing to settle is the crossover at Damping 100 (Q 25): at 20 Hz its
// ringing decays by 1/e in 0.4 s, at 100 Hz in 80 ms.
constexpr double kSecondsPerLevel = 0.4;

// Silence reads as the plots' floor.
double Db(double linear) { return linear > 1e-7 ? 20.0 * std::log10(linear) : -140.0; }

}  // namespace

std::vector<TransferPoint> MeasureTransfer(render::PluginInstance& plugin, double sampleRate,
                                           double hz, double fromDb, double toDb, double stepDb) {
  const AEffect& e = plugin.Effect();
  const int pins = std::max({e.numInputs, e.numOutputs, 2});
  std::vector<std::vector<float>> in(pins, std::vector<float>(kBlock, 0.0f));
  std::vector<std::vector<float>> out(pins, std::vector<float>(kBlock, 0.0f));
  std::vector<float*> inPointers(pins), outPointers(pins);
  for (int p = 0; p < pins; ++p) {
    inPointers[p] = in[p].data();
    outPointers[p] = out[p].data();
  }
  const int64_t framesPerLevel = std::llround(kSecondsPerLevel * sampleRate);
  const int64_t measuredFrom = framesPerLevel * 3 / 4;
  const double step = 2.0 * std::numbers::pi * hz / sampleRate;
  int64_t phase = 0;
  std::vector<TransferPoint> curve;
  const int steps = static_cast<int>(std::floor((toDb - fromDb) / stepDb + 1e-9));
  for (int k = 0; k <= steps; ++k) {
    const double level = fromDb + k * stepDb;
    const double amplitude = std::pow(10.0, level / 20.0);
    double sumOfSquares = 0.0;
    int64_t measured = 0;
    for (int64_t done = 0; done < framesPerLevel; done += kBlock) {
      const int n = static_cast<int>(std::min<int64_t>(kBlock, framesPerLevel - done));
      for (int i = 0; i < n; ++i) {
        const float x =
            static_cast<float>(amplitude * std::sin(step * static_cast<double>(phase++)));
        in[0][i] = x;
        in[1][i] = x;
      }
      plugin.Process(inPointers.data(), outPointers.data(), n);
      for (int i = 0; i < n; ++i) {
        if (done + i >= measuredFrom) {
          sumOfSquares += static_cast<double>(out[0][i]) * out[0][i];
          ++measured;
        }
      }
    }
    const double rms =
        std::sqrt(sumOfSquares / static_cast<double>(std::max<int64_t>(measured, 1)));
    curve.push_back({level, Db(rms * std::numbers::sqrt2)});
  }
  return curve;
}

}  // namespace demo
