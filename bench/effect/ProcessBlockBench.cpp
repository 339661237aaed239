// Cost of the effect's block processing per stereo frame, on a noisy signal
// through the "Guitar More Drive 2" program and on silence.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "effect/DuoManglerEffect.h"

namespace {

constexpr int32_t kGuitarMoreDrive2 = 11;

std::unique_ptr<VSTCLASS> OpenedEffect() {
  auto effect = std::make_unique<VSTCLASS>(nullptr);
  PluginLockGuard guard(effect->Lock());
  effect->NotifyAllParametersChanged();
  effect->SelectPreset(kGuitarMoreDrive2);
  effect->StoreSampleRate(44100.0);
  effect->ApplySampleRate();
  return effect;
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

void RunBlocks(benchmark::State& state, bool silent) {
  const auto frames = static_cast<int32_t>(state.range(0));
  auto effect = OpenedEffect();
  if (std::strcmp(effect->PresetName(kGuitarMoreDrive2), "Guitar More Drive 2") != 0 ||
      effect->CurrentPresetIndex() != kGuitarMoreDrive2) {
    state.SkipWithError("factory program not selected");
    return;
  }
  std::vector<double> left = silent ? std::vector<double>(frames, 0.0) : NoiseBlock(frames, 1);
  std::vector<double> right = silent ? std::vector<double>(frames, 0.0) : NoiseBlock(frames, 2);
  std::vector<double> outLeft(frames);
  std::vector<double> outRight(frames);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  PluginLockGuard guard(effect->Lock());
  for (auto _ : state) {
    effect->ProcessBlock(inputs, outputs, frames);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::DoNotOptimize(outRight.data());
    benchmark::ClobberMemory();
  }
  const auto totalFrames = static_cast<double>(state.iterations()) * frames;
  state.counters["per_frame"] =
      benchmark::Counter(totalFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ProcessBlockMusic(benchmark::State& state) { RunBlocks(state, false); }
void BM_ProcessBlockSilence(benchmark::State& state) { RunBlocks(state, true); }

BENCHMARK(BM_ProcessBlockMusic)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_ProcessBlockSilence)->Arg(32)->Arg(64)->Arg(512)->Arg(4096);

}  // namespace
