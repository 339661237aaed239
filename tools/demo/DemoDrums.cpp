#include "tools/demo/DemoVoices.h"

#include <cmath>
#include <numbers>

namespace demo {
namespace {

// One-pole high-pass, enough to take the body out of noise.
class HighPass {
 public:
  HighPass(double cutoffHz, int sampleRate)
      : a_(std::exp(-2.0 * std::numbers::pi * cutoffHz / sampleRate)) {}
  double Process(double x) {
    const double y = a_ * (y_ + x - x_);
    x_ = x;
    y_ = y;
    return y;
  }

 private:
  double a_;
  double x_ = 0.0;
  double y_ = 0.0;
};

}  // namespace

void AddKick(Track& t, int64_t at, double level) {
  const int64_t frames = t.sampleRate / 2;
  double phase = 0.0;
  for (int64_t i = 0; i < frames; ++i) {
    const double s = static_cast<double>(i) / t.sampleRate;
    const double hz = 48.0 + 110.0 * std::exp(-s / 0.035);  // the pitch drop makes the punch
    phase += 2.0 * std::numbers::pi * hz / t.sampleRate;
    const double amp = std::exp(-s / 0.22) * std::fmin(1.0, s / 0.002);
    t.Add(at + i, level * amp * std::sin(phase));
  }
}

void AddSnare(Track& t, int64_t at, double level, Noise& noise) {
  const int64_t frames = t.sampleRate * 3 / 10;
  HighPass hp(900.0, t.sampleRate);
  for (int64_t i = 0; i < frames; ++i) {
    const double s = static_cast<double>(i) / t.sampleRate;
    const double body = 0.55 * std::sin(2.0 * std::numbers::pi * 185.0 * s) * std::exp(-s / 0.06);
    const double rattle = 0.7 * hp.Process(noise.Next()) * std::exp(-s / 0.10);
    t.Add(at + i, level * (body + rattle) * std::fmin(1.0, s / 0.001));
  }
}

void AddHiHat(Track& t, int64_t at, double level, bool open, Noise& noise) {
  const double decay = open ? 0.16 : 0.028;
  const int64_t frames = static_cast<int64_t>(decay * 6.0 * t.sampleRate);
  HighPass hp1(6500.0, t.sampleRate);
  HighPass hp2(6500.0, t.sampleRate);
  for (int64_t i = 0; i < frames; ++i) {
    const double s = static_cast<double>(i) / t.sampleRate;
    t.Add(at + i, level * hp2.Process(hp1.Process(noise.Next())) * std::exp(-s / decay));
  }
}

}  // namespace demo
