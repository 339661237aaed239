#include "tools/render/LevelMeter.h"

#include <cmath>
#include <limits>

namespace render {
namespace {

double ToDb(double level) {
  return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

}  // namespace

template <typename T>
void LevelMeter::AddAll(const T* samples, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    const double s = samples[i];
    if (!std::isfinite(s)) {
      if (nonFinite_++ == 0) {
        firstNonFinite_ = count_ + i;
      }
      continue;
    }
    const double a = std::fabs(s);
    if (a > peak_) {
      peak_ = a;
    }
    if (a > 1.0) {
      ++overs_;
    }
    sumOfSquares_ += s * s;
    ++finite_;
  }
  count_ += count;
}

void LevelMeter::Add(const float* samples, int64_t count) { AddAll(samples, count); }

void LevelMeter::Add(const double* samples, int64_t count) { AddAll(samples, count); }

double LevelMeter::Rms() const {
  return finite_ > 0 ? std::sqrt(sumOfSquares_ / static_cast<double>(finite_)) : 0.0;
}

double LevelMeter::PeakDb() const { return ToDb(peak_); }

double LevelMeter::RmsDb() const { return ToDb(Rms()); }

}  // namespace render
