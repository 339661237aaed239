// The render tool on a 10-minute stereo file, wall clock: its real-time
// factor (seconds of audio per second) plain and oversampled, the whole
// job from reading the file to the finished output.
#include "tools/render/CommandLine.h"
#include "tools/render/RenderJob.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 600;

// A chord of sines with a slow swell, written as float WAV once per run
// (and removed at exit): sines take the shaper over its whole curve.
class TenMinuteFile {
 public:
  TenMinuteFile() {
    char folder[] = "/tmp/dm-render-bench-XXXXXX";
    folder_ = mkdtemp(folder) ? folder : "/tmp";
    path_ = folder_ + "/ten-minutes.wav";
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(path_.c_str(), SFM_WRITE, &info);
    std::vector<float> second(2 * kRate);
    for (int s = 0; s < kSeconds; ++s) {
      for (int i = 0; i < kRate; ++i) {
        const double t = s + static_cast<double>(i) / kRate;
        const double swell = 0.35 + 0.3 * std::sin(2 * std::numbers::pi * t / 20.0);
        const double w = 2 * std::numbers::pi * t;
        second[2 * i] = static_cast<float>(swell * (std::sin(w * 110) + 0.5 * std::sin(w * 165)));
        second[2 * i + 1] =
            static_cast<float>(swell * (std::sin(w * 220) + 0.5 * std::sin(w * 330)));
      }
      sf_writef_float(f, second.data(), kRate);
    }
    sf_close(f);
  }
  ~TenMinuteFile() {
    std::remove(path_.c_str());
    std::remove(folder_.c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

void BM_RenderTenMinutes(benchmark::State& state) {
  render::RenderOptions options;
  options.pluginPath = DM_DUO_MANGLER_PLUGIN;
  options.program = "Guitar More Drive 2";
  options.oversampling = static_cast<int32_t>(state.range(0));
  options.quiet = true;
  static const TenMinuteFile file;
  options.input = file.Path();
  options.output = file.Path() + ".out.wav";
  std::FILE* nowhere = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    render::RunRenderJob(options, nowhere);
  }
  std::fclose(nowhere);
  std::remove(options.output.c_str());
  // Seconds of audio per second of wall clock: the real-time factor.
  state.counters["realtime_x"] =
      benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RenderTenMinutes)
    ->ArgName("oversample")
    ->Arg(1)
    ->Arg(4)
    ->UseRealTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
