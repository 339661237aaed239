#pragma once

#include <vector>

namespace demo {

// Lowest and highest sample of each column of a waveform picture.
struct EnvelopeColumn {
  double seconds;
  double low;
  double high;
};

std::vector<EnvelopeColumn> WaveformEnvelope(const std::vector<double>& samples, int sampleRate,
                                             int columns);

struct SpectrumPoint {
  double hz;
  double db;  // dBFS: a full-scale sine reads 0
};

// The long-term average spectrum (Hann windows of `fftSize`, half
// overlapping), gathered into `bands` bands spaced evenly in log frequency
// from 20 Hz to the Nyquist frequency, as power averages.
std::vector<SpectrumPoint> AverageSpectrum(const std::vector<double>& samples, int sampleRate,
                                           int fftSize, int bands);

}  // namespace demo
