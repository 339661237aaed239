// Cost of an LV2 block: run() through the binding (lock, control ports,
// routing, single-precision conversion, pieces beyond the scratch size) on
// the Guitar More Drive 2 settings, with the controls unchanged and with all
// nine changing every block. Compare with vst_bench's single-precision path.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "lv2/IEffectLV2.h"
#include "lv2/Lv2PluginFactory.h"

namespace {

constexpr std::array<float, 9> kGuitarMoreDrive2 = {1000, 69, 80, 10, 12, 80, 30, 12, 100};

struct RunningPlugin {
  explicit RunningPlugin(uint32_t frames)
      : plugin(CreateLv2Plugin(nullptr)), audio(4, std::vector<float>(frames)) {
    plugin->Prepare(44100.0);
    uint32_t state = 1;
    for (int channel = 0; channel < 2; ++channel) {
      for (float& s : audio[channel]) {
        state = state * 1664525u + 1013904223u;
        s = static_cast<float>(0.5 * (static_cast<double>(state >> 8) / 8388608.0 - 1.0));
      }
    }
    for (uint32_t port = 0; port < 4; ++port) plugin->ConnectPort(port, audio[port].data());
    controls = kGuitarMoreDrive2;
    for (uint32_t i = 0; i < controls.size(); ++i) plugin->ConnectPort(4 + i, &controls[i]);
    plugin->Activate();
  }
  std::unique_ptr<IEffectLV2> plugin;
  std::vector<std::vector<float>> audio;
  std::array<float, 9> controls{};
};

void Report(benchmark::State& state, int64_t frames) {
  state.SetItemsProcessed(state.iterations() * frames);
}

void BM_Lv2Run(benchmark::State& state) {
  const auto frames = static_cast<uint32_t>(state.range(0));
  RunningPlugin running(frames);
  for (auto _ : state) {
    running.plugin->Run(frames);
    benchmark::ClobberMemory();
  }
  Report(state, frames);
}

// Automation at its densest: every control moves before every block.
void BM_Lv2RunAllControlsMoving(benchmark::State& state) {
  const auto frames = static_cast<uint32_t>(state.range(0));
  RunningPlugin running(frames);
  float step = 0.0f;
  for (auto _ : state) {
    step = step == 0.0f ? 1.0f : 0.0f;
    for (size_t i = 0; i < running.controls.size(); ++i)
      running.controls[i] = kGuitarMoreDrive2[i] + step;
    running.plugin->Run(frames);
    benchmark::ClobberMemory();
  }
  Report(state, frames);
}

}  // namespace

BENCHMARK(BM_Lv2Run)->Arg(32)->Arg(512)->Arg(4096)->Arg(8192);
BENCHMARK(BM_Lv2RunAllControlsMoving)->Arg(32)->Arg(512);
