#include "tools/render/LevelMeter.h"

#include <cmath>
#include <limits>

namespace render {
namespace {

double ToDb(double level) {
  return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

}  // namespace

void LevelMeter::AddSample(double s) {
  const double a = std::fabs(s);
  if (a > peak_ || std::isnan(a)) {
    peak_ = a;
  }
  if (a > 1.0) {
    ++overs_;
  }
  sumOfSquares_ += s * s;
}

void LevelMeter::Add(const float* samples, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    AddSample(samples[i]);
  }
  count_ += count;
}

void LevelMeter::Add(const double* samples, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    AddSample(samples[i]);
  }
  count_ += count;
}

double LevelMeter::Rms() const {
  return count_ > 0 ? std::sqrt(sumOfSquares_ / static_cast<double>(count_)) : 0.0;
}

double LevelMeter::PeakDb() const { return ToDb(peak_); }

double LevelMeter::RmsDb() const { return ToDb(Rms()); }

}  // namespace render
