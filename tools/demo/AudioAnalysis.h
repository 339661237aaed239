// The demo page's measurements of a render: waveform columns, overs, spectrum and levels.
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

// The picture columns (as WaveformEnvelope divides the frames) that hold a
// sample beyond full scale in any channel: the start of the column and its
// sample of the largest magnitude.
struct OverMark {
  double seconds;
  double value;
};

std::vector<OverMark> OversByColumn(const std::vector<double>& interleaved, int channels,
                                    int sampleRate, int columns);

struct SpectrumPoint {
  double hz;
  double db;  // dBFS: a full-scale sine reads 0
};

// The long-term average spectrum (Hann windows of `fftSize`, half
// overlapping, through FFTW), gathered into `bands` bands spaced evenly in
// log frequency from `lowestHz` to the Nyquist frequency, as power averages.
std::vector<SpectrumPoint> AverageSpectrum(const std::vector<double>& samples, int sampleRate,
                                           int fftSize, double lowestHz, int bands);

}  // namespace demo
