// audio_plot_data: turns an audio file into the data behind the demo's plots
// (gnuplot reads them):
//   PREFIX.wave      seconds, lowest and highest sample per picture column
//   PREFIX.spectrum  band centre in Hz, long-term average level in dBFS
// Stereo files are analysed as their mid signal (L+R)/2.
//   audio_plot_data INPUT PREFIX
#include "tools/demo/AudioAnalysis.h"

#include <sndfile.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kColumns = 1200;
constexpr int kFftSize = 16384;
constexpr int kBands = 300;

bool ReadMid(const std::string& path, std::vector<double>& mid, int& sampleRate) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    std::fprintf(stderr, "audio_plot_data: cannot read '%s': %s\n", path.c_str(),
                 sf_strerror(nullptr));
    return false;
  }
  std::vector<double> interleaved(static_cast<size_t>(info.frames * info.channels));
  const sf_count_t got = sf_readf_double(file, interleaved.data(), info.frames);
  sf_close(file);
  sampleRate = info.samplerate;
  mid.assign(static_cast<size_t>(got), 0.0);
  for (size_t f = 0; f < mid.size(); ++f) {
    double sum = 0.0;
    for (int c = 0; c < info.channels; ++c) {
      sum += interleaved[f * static_cast<size_t>(info.channels) + static_cast<size_t>(c)];
    }
    mid[f] = sum / info.channels;
  }
  return true;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    std::perror(path.c_str());
    return false;
  }
  for (const std::string& line : lines) {
    std::fputs(line.c_str(), f);
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: audio_plot_data INPUT PREFIX\n");
    return 2;
  }
  std::vector<double> mid;
  int rate = 0;
  if (!ReadMid(argv[1], mid, rate)) {
    return 1;
  }
  const std::string prefix = argv[2];
  char line[128];

  std::vector<std::string> wave;
  for (const demo::EnvelopeColumn& c : demo::WaveformEnvelope(mid, rate, kColumns)) {
    std::snprintf(line, sizeof(line), "%.6f %.6f %.6f\n", c.seconds, c.low, c.high);
    wave.emplace_back(line);
  }
  std::vector<std::string> spectrum;
  for (const demo::SpectrumPoint& p : demo::AverageSpectrum(mid, rate, kFftSize, kBands)) {
    std::snprintf(line, sizeof(line), "%.3f %.3f\n", p.hz, p.db);
    spectrum.emplace_back(line);
  }
  return WriteLines(prefix + ".wave", wave) && WriteLines(prefix + ".spectrum", spectrum) ? 0 : 1;
}
