// The render tool on a 10-minute stereo file, wall clock: its real-time
// factor (seconds of audio per second) plain and oversampled, the whole
// job from reading the file to the finished output; and a batch of four
// one-minute files on one worker and on two.
#include "tools/render/CommandLine.h"
#include "tools/render/RenderJob.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 600;
constexpr int kBatchFiles = 4;
constexpr int kBatchFileSeconds = 60;

// A chord of sines with a slow swell, written as float WAV once per run
// (and removed at exit): sines take the shaper over its whole curve.
class SineFile {
 public:
  explicit SineFile(int seconds) {
    char folder[] = "/tmp/dm-render-bench-XXXXXX";
    folder_ = mkdtemp(folder) ? folder : "/tmp";
    path_ = folder_ + "/sines.wav";
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(path_.c_str(), SFM_WRITE, &info);
    std::vector<float> second(2 * kRate);
    for (int s = 0; s < seconds; ++s) {
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
  ~SineFile() {
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
  static const SineFile file(kSeconds);
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

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// -j N: the batch's files on N workers at once. Each output is written,
// checked and put in place as on one worker.
void BM_RenderBatch(benchmark::State& state) {
  render::RenderOptions options;
  options.pluginPath = DM_DUO_MANGLER_PLUGIN;
  options.program = "Guitar More Drive 2";
  options.jobs = static_cast<int32_t>(state.range(0));
  options.oversampling = static_cast<int32_t>(state.range(1));
  options.quiet = true;
  static const SineFile file(kBatchFileSeconds);
  char folder[] = "/tmp/dm-render-batch-XXXXXX";
  const std::string base = mkdtemp(folder) ? folder : "/tmp";
  // The same input under four names, so each has an output of its own.
  for (int i = 0; i < kBatchFiles; ++i) {
    const std::string name = base + "/in" + std::to_string(i) + ".wav";
    if (symlink(file.Path().c_str(), name.c_str()) == 0) {
      options.inputs.push_back(name);
    }
  }
  options.outputFolder = base + "/out";
  std::FILE* nowhere = std::fopen("/dev/null", "w");
  const double cpuBefore = ProcessCpuSeconds();
  for (auto _ : state) {
    render::RunRenderJob(options, nowhere);
  }
  // The CPU time of all workers, per batch: the work a free core would do.
  state.counters["process_cpu_s"] =
      (ProcessCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
  std::fclose(nowhere);
  for (int i = 0; i < kBatchFiles; ++i) {
    std::remove((options.outputFolder + "/in" + std::to_string(i) + ".wav").c_str());
    std::remove(options.inputs[static_cast<size_t>(i)].c_str());
  }
  std::remove(options.outputFolder.c_str());
  std::remove(base.c_str());
  state.counters["realtime_x"] = benchmark::Counter(kBatchFiles * kBatchFileSeconds,
                                                    benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RenderBatch)
    ->ArgNames({"jobs", "oversample"})
    ->ArgsProduct({{1, 2}, {1, 4}})
    ->UseRealTime()
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

}  // namespace
