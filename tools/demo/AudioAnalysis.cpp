#include "tools/demo/AudioAnalysis.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {
namespace {

constexpr double kFloorDb = -140.0;

std::vector<double> HannWindow(int size) {
  std::vector<double> w(static_cast<size_t>(size));
  for (int i = 0; i < size; ++i) {
    w[static_cast<size_t>(i)] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / size);
  }
  return w;
}

// Power per FFT bin, averaged over the frames, scaled so that a full-scale
// sine's bin reads 1 (the Hann window's coherent gain is 0.5).
std::vector<double> AveragePower(const std::vector<double>& samples, int fftSize) {
  const std::vector<double> window = HannWindow(fftSize);
  const size_t bins = static_cast<size_t>(fftSize / 2 + 1);
  std::vector<double> power(bins, 0.0);
  double* frame = fftw_alloc_real(static_cast<size_t>(fftSize));
  fftw_complex* spectrum = fftw_alloc_complex(bins);
  const fftw_plan plan = fftw_plan_dft_r2c_1d(fftSize, frame, spectrum, FFTW_ESTIMATE);
  const size_t hop = static_cast<size_t>(fftSize / 2);
  int frames = 0;
  for (size_t start = 0; start + static_cast<size_t>(fftSize) <=
                         std::max(samples.size(), static_cast<size_t>(fftSize));
       start += hop) {
    for (size_t i = 0; i < static_cast<size_t>(fftSize); ++i) {
      const double x = start + i < samples.size() ? samples[start + i] : 0.0;
      frame[i] = x * window[i];
    }
    fftw_execute(plan);
    for (size_t k = 0; k < bins; ++k) {
      const double scale = 4.0 / fftSize;
      const double re = spectrum[k][0] * scale;
      const double im = spectrum[k][1] * scale;
      power[k] += re * re + im * im;
    }
    ++frames;
  }
  fftw_destroy_plan(plan);
  fftw_free(spectrum);
  fftw_free(frame);
  for (double& p : power) {
    p /= frames;
  }
  return power;
}

}  // namespace

std::vector<EnvelopeColumn> WaveformEnvelope(const std::vector<double>& samples, int sampleRate,
                                             int columns) {
  std::vector<EnvelopeColumn> envelope;
  if (samples.empty() || columns < 1) {
    return envelope;
  }
  for (int c = 0; c < columns; ++c) {
    const size_t begin = samples.size() * static_cast<size_t>(c) / static_cast<size_t>(columns);
    const size_t end = std::max(
        begin + 1, samples.size() * static_cast<size_t>(c + 1) / static_cast<size_t>(columns));
    const auto [low, high] = std::minmax_element(
        samples.begin() + static_cast<std::ptrdiff_t>(begin),
        samples.begin() + static_cast<std::ptrdiff_t>(std::min(end, samples.size())));
    envelope.push_back({static_cast<double>(begin) / sampleRate, *low, *high});
  }
  return envelope;
}

std::vector<OverMark> OversByColumn(const std::vector<double>& interleaved, int channels,
                                    int sampleRate, int columns) {
  std::vector<OverMark> marks;
  const size_t frames = interleaved.size() / static_cast<size_t>(channels);
  for (int c = 0; c < columns && frames > 0; ++c) {
    const size_t begin = frames * static_cast<size_t>(c) / static_cast<size_t>(columns);
    const size_t end = std::min(frames, std::max(begin + 1, frames * static_cast<size_t>(c + 1) /
                                                                static_cast<size_t>(columns)));
    double loudest = 0.0;
    for (size_t i = begin * static_cast<size_t>(channels); i < end * static_cast<size_t>(channels);
         ++i) {
      if (std::fabs(interleaved[i]) > std::fabs(loudest)) {
        loudest = interleaved[i];
      }
    }
    if (std::fabs(loudest) > 1.0) {
      marks.push_back({static_cast<double>(begin) / sampleRate, loudest});
    }
  }
  return marks;
}

std::vector<SpectrumPoint> AverageSpectrum(const std::vector<double>& samples, int sampleRate,
                                           int fftSize, double lowestHz, int bands) {
  const std::vector<double> power = AveragePower(samples, fftSize);
  const double binHz = static_cast<double>(sampleRate) / fftSize;
  const double nyquist = sampleRate / 2.0;
  const double ratio = std::pow(nyquist / lowestHz, 1.0 / bands);
  std::vector<SpectrumPoint> spectrum;
  for (int b = 0; b < bands; ++b) {
    const double lowHz = lowestHz * std::pow(ratio, b);
    const double highHz = lowHz * ratio;
    const size_t first = static_cast<size_t>(std::ceil(lowHz / binHz));
    const size_t last = std::min(power.size() - 1, static_cast<size_t>(std::floor(highHz / binHz)));
    double sum = 0.0;
    size_t count = 0;
    for (size_t k = first; k <= last; ++k) {
      sum += power[k];
      ++count;
    }
    if (count == 0) {
      // A band narrower than a bin: the nearest bin stands for it.
      sum = power[std::min(power.size() - 1,
                           static_cast<size_t>(std::lround(std::sqrt(lowHz * highHz) / binHz)))];
      count = 1;
    }
    const double mean = sum / static_cast<double>(count);
    spectrum.push_back({std::sqrt(lowHz * highHz),
                        mean > 0.0 ? std::max(kFloorDb, 10.0 * std::log10(mean)) : kFloorDb});
  }
  return spectrum;
}

}  // namespace demo
