// A 64-frame block through the VST 3 module's process against the VST 2
// module's processReplacing, both loaded as a host loads them, on the same
// signal and program. The two run interleaved (the benchmarks alternate in
// repetitions), so machine noise reaches both alike.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "vst/VstInterface.h"

namespace {

using namespace Steinberg;

constexpr int32_t kFrames = 64;
constexpr int32_t kGuitarMoreDrive2 = 11;

intptr_t SilentHost(AEffect*, int32_t, int32_t, intptr_t, void*, float) { return 0; }

void* Open(const char* path) {
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!module) std::abort();
  return module;
}

struct Signal {
  Signal() : left(kFrames), right(kFrames), outLeft(kFrames), outRight(kFrames) {
    uint32_t state = 1;
    for (int32_t i = 0; i < kFrames; ++i) {
      state = state * 1664525u + 1013904223u;
      left[i] = static_cast<float>(0.5 * (static_cast<double>(state >> 8) / 8388608.0 - 1.0));
      right[i] = -left[i];
    }
  }
  std::vector<float> left, right, outLeft, outRight;
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
};

void Vst2ProcessReplacing(benchmark::State& state) {
  static void* module = Open(DM_VST_MODULE_PATH);
  auto entry = reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain"));
  AEffect* effect = entry(&SilentHost);
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
  effect->dispatcher(effect, effSetProgram, 0, kGuitarMoreDrive2, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  Signal signal;
  for (auto _ : state) {
    effect->processReplacing(effect, signal.inputs, signal.outputs, kFrames);
    benchmark::DoNotOptimize(signal.outLeft.data());
  }
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  state.SetItemsProcessed(state.iterations() * kFrames);
}

void Vst3Process(benchmark::State& state) {
  static void* module = Open(DM_VST3_MODULE_PATH);
  using GetFactory = IPluginFactory*(PLUGIN_API*)();
  IPluginFactory* factory = reinterpret_cast<GetFactory>(dlsym(module, "GetPluginFactory"))();
  PClassInfo info{};
  factory->getClassInfo(0, &info);
  Vst::IComponent* component = nullptr;
  factory->createInstance(info.cid, Vst::IComponent_iid, reinterpret_cast<void**>(&component));
  Vst::IAudioProcessor* processor = nullptr;
  component->initialize(nullptr);
  component->queryInterface(Vst::IAudioProcessor_iid, reinterpret_cast<void**>(&processor));
  Vst::ProcessSetup setup{Vst::kRealtime, Vst::kSample32, kFrames, 44100.0};
  processor->setupProcessing(setup);
  component->setActive(true);
  processor->setProcessing(true);
  Signal signal;
  Vst::AudioBusBuffers in{};
  Vst::AudioBusBuffers out{};
  in.numChannels = out.numChannels = 2;
  in.channelBuffers32 = signal.inputs;
  out.channelBuffers32 = signal.outputs;
  Vst::ProcessData data{};
  data.symbolicSampleSize = Vst::kSample32;
  data.numInputs = data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &out;
  // The same program as the VST 2 run, chosen through the Program parameter
  // in a first block of no frames.
  struct OnePoint : Vst::IParamValueQueue, Vst::IParameterChanges {
    tresult PLUGIN_API queryInterface(const TUID, void**) override { return kNoInterface; }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
    Vst::ParamID PLUGIN_API getParameterId() override { return 10; }
    int32 PLUGIN_API getPointCount() override { return 1; }
    tresult PLUGIN_API getPoint(int32, int32& offset, Vst::ParamValue& value) override {
      offset = 0;
      value = kGuitarMoreDrive2 / 24.0;
      return kResultOk;
    }
    tresult PLUGIN_API addPoint(int32, Vst::ParamValue, int32&) override { return kResultFalse; }
    int32 PLUGIN_API getParameterCount() override { return 1; }
    Vst::IParamValueQueue* PLUGIN_API getParameterData(int32) override { return this; }
    Vst::IParamValueQueue* PLUGIN_API addParameterData(const Vst::ParamID&, int32&) override {
      return nullptr;
    }
  } program;
  data.inputParameterChanges = &program;
  processor->process(data);
  data.inputParameterChanges = nullptr;
  data.numSamples = kFrames;
  for (auto _ : state) {
    processor->process(data);
    benchmark::DoNotOptimize(signal.outLeft.data());
  }
  processor->release();
  component->terminate();
  component->release();
  state.SetItemsProcessed(state.iterations() * kFrames);
}

}  // namespace

BENCHMARK(Vst2ProcessReplacing)->Repetitions(10)->ReportAggregatesOnly(false);
BENCHMARK(Vst3Process)->Repetitions(10)->ReportAggregatesOnly(false);
