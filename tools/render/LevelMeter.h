#pragma once

#include <cstdint>

namespace render {

// Peak and RMS over every sample of every channel, measured on the samples
// the plug-in produced (before the file's quantisation), so that overs show.
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

 private:
  void AddSample(double s);

  double peak_ = 0.0;
  double sumOfSquares_ = 0.0;
  int64_t count_ = 0;
  int64_t overs_ = 0;
};

}  // namespace render
