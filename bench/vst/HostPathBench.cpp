// Cost of the whole host path: a block through the effect record's audio
// callbacks (lock, routing, single-precision conversion) against the effect's
// ProcessBlock alone on the same signal. The difference per call is what the
// binding adds.
#include <benchmark/benchmark.h>
#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "effect/DuoManglerEffect.h"
#include "framework/SampleConversion.h"
#include "vst/VstInterface.h"

namespace {

constexpr int32_t kGuitarMoreDrive2 = 11;

intptr_t SilentHost(AEffect*, int32_t, int32_t, intptr_t, void*, float) { return 0; }

// An instance opened and started as a host does, through its record.
struct OpenedPlugin {
  explicit OpenedPlugin(int32_t frames) : effect(new VSTCLASS(&SilentHost)) {
    record = effect->Effect();
    Dispatch(effOpen, 0, 0, 0.0f);
    Dispatch(effSetSampleRate, 0, 0, 44100.0f);
    Dispatch(effSetBlockSize, 0, frames, 0.0f);
    Dispatch(effSetProgram, 0, kGuitarMoreDrive2, 0.0f);
    Dispatch(effMainsChanged, 0, 1, 0.0f);
  }
  ~OpenedPlugin() { Dispatch(effClose, 0, 0, 0.0f); }
  void Dispatch(int32_t opcode, int32_t index, intptr_t value, float opt) {
    record->dispatcher(record, opcode, index, value, nullptr, opt);
  }
  VSTCLASS* effect;
  AEffect* record;
};

template <typename Sample>
std::vector<Sample> Noise(size_t frames, uint32_t seed) {
  std::vector<Sample> samples(frames);
  uint32_t state = seed;
  for (Sample& s : samples) {
    state = state * 1664525u + 1013904223u;
    s = static_cast<Sample>(0.5 * (static_cast<double>(state >> 8) / 8388608.0 - 1.0));
  }
  return samples;
}

// Denormal samples of the callback's precision, after one ordinary frame that
// keeps the filters ringing through the block, as after music stops.
template <typename Sample>
std::vector<Sample> Denormals(size_t frames) {
  std::vector<Sample> samples(frames);
  const Sample smallest = std::numeric_limits<Sample>::denorm_min();
  for (size_t i = 0; i < frames; ++i)
    samples[i] = smallest * static_cast<Sample>(1 + i % 1000) * (i % 2 ? -1 : 1);
  samples[0] = Sample(0.5);
  return samples;
}

// Argument 1 of every benchmark: 0 noise, 1 denormal input.
template <typename Sample>
struct StereoBlock {
  StereoBlock(int32_t frames, int64_t denormal)
      : left(denormal ? Denormals<Sample>(frames) : Noise<Sample>(frames, 1)),
        right(denormal ? Denormals<Sample>(frames) : Noise<Sample>(frames, 2)),
        outLeft(frames),
        outRight(frames) {}
  std::vector<Sample> left, right, outLeft, outRight;
  Sample* inputs[2] = {left.data(), right.data()};
  Sample* outputs[2] = {outLeft.data(), outRight.data()};
};

void Report(benchmark::State& state, int32_t frames) {
  state.SetItemsProcessed(state.iterations() * frames);
  state.counters["per_call"] =
      benchmark::Counter(static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ProcessBlockAlone(benchmark::State& state) {
  const auto frames = static_cast<int32_t>(state.range(0));
  OpenedPlugin plugin(frames);
  StereoBlock<double> block(frames, state.range(1));
  for (auto _ : state) {
    plugin.effect->ProcessBlock(block.inputs, block.outputs, frames);
    benchmark::ClobberMemory();
  }
  Report(state, frames);
}

void BM_ProcessDoubleReplacing(benchmark::State& state) {
  const auto frames = static_cast<int32_t>(state.range(0));
  OpenedPlugin plugin(frames);
  StereoBlock<double> block(frames, state.range(1));
  for (auto _ : state) {
    plugin.record->processDoubleReplacing(plugin.record, block.inputs, block.outputs, frames);
    benchmark::ClobberMemory();
  }
  Report(state, frames);
}

void BM_ProcessReplacing(benchmark::State& state) {
  const auto frames = static_cast<int32_t>(state.range(0));
  OpenedPlugin plugin(frames);
  StereoBlock<float> block(frames, state.range(1));
  for (auto _ : state) {
    plugin.record->processReplacing(plugin.record, block.inputs, block.outputs, frames);
    benchmark::ClobberMemory();
  }
  Report(state, frames);
}

void BM_ProcessAccumulating(benchmark::State& state) {
  const auto frames = static_cast<int32_t>(state.range(0));
  OpenedPlugin plugin(frames);
  StereoBlock<float> block(frames, state.range(1));
  // The sums grow block after block, which changes nothing here: they never
  // reach the plug-in's inputs, and stay far from overflowing. (Clearing
  // them in every block, as this loop did, cost 1 to 2 % of a 4096-frame
  // block and showed in the ratio.)
  for (auto _ : state) {
    plugin.record->process(plugin.record, block.inputs, block.outputs, frames);
    benchmark::ClobberMemory();
  }
  Report(state, frames);
}

// A host built for the baseline instruction set sums each block into its
// bus with SSE2 code. Vector units that leave the upper halves of the AVX
// registers in use make that code pay a transition after every block.
void MixIntoBus(const float* block, float* bus, int32_t frames) {
  int32_t j = 0;
  for (; j + 4 <= frames; j += 4)
    _mm_storeu_ps(bus + j, _mm_add_ps(_mm_loadu_ps(bus + j), _mm_loadu_ps(block + j)));
  for (; j < frames; ++j) bus[j] += block[j];
}

void BM_ProcessReplacingInHostMix(benchmark::State& state) {
  const auto frames = static_cast<int32_t>(state.range(0));
  OpenedPlugin plugin(frames);
  StereoBlock<float> block(frames, 0);
  std::vector<float> busLeft(frames), busRight(frames);
  for (auto _ : state) {
    plugin.record->processReplacing(plugin.record, block.inputs, block.outputs, frames);
    MixIntoBus(block.outLeft.data(), busLeft.data(), frames);
    MixIntoBus(block.outRight.data(), busRight.data(), frames);
    benchmark::ClobberMemory();
  }
  Report(state, frames);
}

// The widening pass of the single-precision callbacks, 512 samples into
// doubles that start on a 32-byte boundary or 16 bytes past one, as a heap
// buffer may.
void BM_WidenIntoScratch(benchmark::State& state) {
  constexpr int32_t kSamples = 512;
  const std::vector<float> samples = Noise<float>(kSamples, 3);
  std::vector<double> scratch(kSamples + 8);
  auto* aligned = reinterpret_cast<double*>((reinterpret_cast<uintptr_t>(scratch.data()) + 31) &
                                            ~uintptr_t{31});
  double* to = aligned + state.range(0) / static_cast<int64_t>(sizeof(double));
  const SampleConverters& converters = FastestSampleConverters();
  for (auto _ : state) {
    converters.widen(samples.data(), to, kSamples);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}

}  // namespace

// Arguments: frames, then 0 for noise or 1 for denormal input. The
// callbacks run at every block size hosts use.
BENCHMARK(BM_ProcessBlockAlone)->ArgsProduct({{32, 64, 512}, {0, 1}});
BENCHMARK(BM_ProcessDoubleReplacing)
    ->ArgsProduct({{32, 64, 128, 256, 512, 1024, 4096}, {0}})
    ->Args({64, 1});
BENCHMARK(BM_ProcessReplacing)
    ->ArgsProduct({{32, 64, 128, 256, 512, 1024, 4096}, {0}})
    ->Args({64, 1});
BENCHMARK(BM_ProcessAccumulating)
    ->ArgsProduct({{32, 64, 128, 256, 512, 1024, 4096}, {0}})
    ->Args({64, 1});
BENCHMARK(BM_WidenIntoScratch)->Arg(0)->Arg(16);
BENCHMARK(BM_ProcessReplacingInHostMix)->Arg(64);
