// audio_plot_data: turns an audio file into the data behind the demo's plots
// and table (gnuplot and scripts/demo read them):
//   PREFIX.wave      seconds, lowest and highest sample per picture column
//   PREFIX.overs     seconds and sample of the columns that go beyond full
//                    scale in any channel
//   PREFIX.spectrum  band centre in Hz, long-term average level in dBFS,
//                    from 10 Hz with bins of at most 1 Hz
//   PREFIX.stats     peak dBFS, RMS dBFS, integrated loudness in LUFS,
//                    samples over full scale, sample rate, then the file's
//                    format
// Waveforms and spectra are of the mid signal (L+R)/2; levels and overs of
// every channel's samples.
//   audio_plot_data INPUT PREFIX
#include "tools/demo/AudioAnalysis.h"
#include "tools/demo/AudioFile.h"
#include "tools/demo/Loudness.h"
#include "tools/render/AudioFormat.h"
#include "tools/render/LevelMeter.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kTool = "audio_plot_data";
constexpr int kColumns = 1200;
constexpr double kLowestHz = 10.0;
constexpr int kBands = 400;

// The smallest power of two with bins of 1 Hz or narrower, so that the
// spectrum resolves the lowest octaves (a kick's 50 Hz, a bass's 41 Hz).
int FftSizeFor(int sampleRate) {
  int size = 1024;
  while (size < sampleRate) {
    size *= 2;
  }
  return size;
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

std::string Number(double value, const char* format) {
  if (!std::isfinite(value)) {
    return "-inf";
  }
  char text[64];
  std::snprintf(text, sizeof(text), format, value);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: audio_plot_data INPUT PREFIX\n");
    return 2;
  }
  demo::AudioData audio;
  if (!demo::ReadAudioFile(argv[1], kTool, audio)) {
    return 1;
  }
  const std::string prefix = argv[2];
  const std::vector<double> mid = audio.Mid();
  const int rate = audio.sampleRate;
  char line[128];

  std::vector<std::string> wave;
  for (const demo::EnvelopeColumn& c : demo::WaveformEnvelope(mid, rate, kColumns)) {
    std::snprintf(line, sizeof(line), "%.6f %.6f %.6f\n", c.seconds, c.low, c.high);
    wave.emplace_back(line);
  }
  std::vector<std::string> overs;
  for (const demo::OverMark& m :
       demo::OversByColumn(audio.samples, audio.channels, rate, kColumns)) {
    std::snprintf(line, sizeof(line), "%.6f %.6f\n", m.seconds, m.value);
    overs.emplace_back(line);
  }
  std::vector<std::string> spectrum;
  for (const demo::SpectrumPoint& p :
       demo::AverageSpectrum(mid, rate, FftSizeFor(rate), kLowestHz, kBands)) {
    std::snprintf(line, sizeof(line), "%.3f %.3f\n", p.hz, p.db);
    spectrum.emplace_back(line);
  }
  render::LevelMeter meter;
  meter.Add(audio.samples.data(), static_cast<int64_t>(audio.samples.size()));
  const std::string stats =
      Number(meter.PeakDb(), "%.2f") + " " + Number(meter.RmsDb(), "%.2f") + " " +
      Number(demo::IntegratedLoudness(audio.samples, audio.channels, rate), "%.1f") + " " +
      std::to_string(meter.Overs()) + " " + std::to_string(rate) + " " +
      render::DescribeFormat(audio.format) + "\n";
  return WriteLines(prefix + ".wave", wave) && WriteLines(prefix + ".overs", overs) &&
                 WriteLines(prefix + ".spectrum", spectrum) &&
                 WriteLines(prefix + ".stats", {stats})
             ? 0
             : 1;
}
