// Peak, RMS and overs of the samples a render produced.
#pragma once

#include <cstdint>

namespace render {

// Peak and RMS over every finite sample of every channel, measured on the
// samples the plug-in produced (before the file's quantisation), so that
// overs show; NaN and infinite samples are counted apart.
class LevelMeter {
 public:
  void Add(const float* samples, int64_t count);
  void Add(const double* samples, int64_t count);

  double Peak() const { return peak_; }
  // Samples beyond full scale, which an integer file clips.
  int64_t Overs() const { return overs_; }
  double Rms() const;
  // Decibels relative to full scale; -infinity for silence.
  double PeakDb() const;
  double RmsDb() const;

  int64_t NonFinite() const { return nonFinite_; }
  // Index of the first NaN or infinite sample among all added, or -1.
  int64_t FirstNonFinite() const { return firstNonFinite_; }

 private:
  template <typename T>
  void AddAll(const T* samples, int64_t count);

  double peak_ = 0.0;
  double sumOfSquares_ = 0.0;
  int64_t count_ = 0;
  int64_t finite_ = 0;
  int64_t overs_ = 0;
  int64_t nonFinite_ = 0;
  int64_t firstNonFinite_ = -1;
};

}  // namespace render
