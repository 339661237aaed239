// Cost of the effect's block processing per stereo frame at 48 kHz, on noise
// through three programs, on silence and on denormal input, next to the
// straightforward transcription of the formulas (the baseline) and to the
// scalar frame loop (the reference the vector loop reproduces).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/effect/Transcription.h"
#include "effect/DuoManglerEffect.h"

namespace {

constexpr int32_t kDefaultProgram = 0, kDrumReso = 5, kGuitarMoreDrive2 = 11;
constexpr double kRate = 48000.0;

// The processor of an effect opened as a host does, with a program chosen.
TwoBandProcessor ProcessorFor(int32_t program) {
  auto effect = std::make_unique<VSTCLASS>(nullptr);
  PluginLockGuard guard(effect->Lock());
  effect->NotifyAllParametersChanged();
  effect->SelectPreset(program);
  effect->StoreSampleRate(kRate);
  effect->ApplySampleRate();
  return effect->Processor();
}

std::vector<double> NoiseBlock(size_t frames, uint32_t seed) {
  std::vector<double> samples(frames);
  uint32_t state = seed;
  for (double& s : samples) {
    state = state * 1664525u + 1013904223u;
    s = 0.5 * (static_cast<double>(state >> 8) / 8388608.0 - 1.0);
  }
  return samples;
}

enum class Signal { Noise, Silence, Denormal };

// Denormal blocks start with one ordinary frame, so that the filters ring
// through the whole block, as they do after music stops.
std::vector<double> Block(Signal signal, size_t frames, uint32_t seed) {
  if (signal == Signal::Noise) return NoiseBlock(frames, seed);
  std::vector<double> samples(frames, 0.0);
  if (signal == Signal::Denormal) {
    for (size_t i = 0; i < frames; ++i) samples[i] = (i % 2 ? -1e-310 : 3e-311) * (1 + i % 7);
    samples[0] = 0.5;
  }
  return samples;
}

enum class Runner { Vector, Scalar, Transcribed };

void Run(benchmark::State& state, Runner runner, int32_t program, Signal signal) {
  const auto frames = static_cast<int32_t>(state.range(0));
  TwoBandProcessor processor = ProcessorFor(program);
  Transcription transcription(processor);
  std::vector<double> left = Block(signal, frames, 1), right = Block(signal, frames, 2);
  std::vector<double> outLeft(frames), outRight(frames);
  const double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  for (auto _ : state) {
    switch (runner) {
      case Runner::Vector:
        processor.ProcessBlock(inputs, outputs, frames);
        break;
      case Runner::Scalar:
        processor.ProcessBlockWith(ProcessFramesScalar, inputs, outputs, frames);
        break;
      case Runner::Transcribed:
        transcription.ProcessBlock(inputs, outputs, frames);
        break;
    }
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::DoNotOptimize(outRight.data());
    benchmark::ClobberMemory();
  }
  const auto totalFrames = static_cast<double>(state.iterations()) * frames;
  state.counters["per_frame"] =
      benchmark::Counter(totalFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

#define DM_PROGRAM_BENCHMARKS(name, program)             \
  void BM_##name##_Processor(benchmark::State& s) {      \
    Run(s, Runner::Vector, program, Signal::Noise);      \
  }                                                      \
  void BM_##name##_ScalarLoop(benchmark::State& s) {     \
    Run(s, Runner::Scalar, program, Signal::Noise);      \
  }                                                      \
  void BM_##name##_Transcription(benchmark::State& s) {  \
    Run(s, Runner::Transcribed, program, Signal::Noise); \
  }                                                      \
  BENCHMARK(BM_##name##_Processor)->Arg(64)->Arg(512);   \
  BENCHMARK(BM_##name##_ScalarLoop)->Arg(64)->Arg(512);  \
  BENCHMARK(BM_##name##_Transcription)->Arg(64)->Arg(512);

DM_PROGRAM_BENCHMARKS(GuitarMoreDrive2, kGuitarMoreDrive2)
DM_PROGRAM_BENCHMARKS(DrumReso, kDrumReso)
DM_PROGRAM_BENCHMARKS(Default, kDefaultProgram)

void BM_Silence_Processor(benchmark::State& s) {
  Run(s, Runner::Vector, kGuitarMoreDrive2, Signal::Silence);
}
void BM_Denormal_Processor(benchmark::State& s) {
  Run(s, Runner::Vector, kGuitarMoreDrive2, Signal::Denormal);
}
void BM_Denormal_ScalarLoop(benchmark::State& s) {
  Run(s, Runner::Scalar, kGuitarMoreDrive2, Signal::Denormal);
}
BENCHMARK(BM_Silence_Processor)->Arg(64)->Arg(512);
BENCHMARK(BM_Denormal_Processor)->Arg(64)->Arg(512);
BENCHMARK(BM_Denormal_ScalarLoop)->Arg(64)->Arg(512);

}  // namespace
