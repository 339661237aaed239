#include "tests/vst3/Vst3TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#ifndef DM_VST3_MODULE_PATH
#error "the build passes the module's path"
#endif

namespace vst3test {

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 n, int32* done) {
  const size_t count = std::min(static_cast<size_t>(std::max(n, 0)), bytes.size() - at);
  if (count) std::memcpy(buffer, bytes.data() + at, count);
  at += count;
  if (done) *done = static_cast<int32>(count);
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 n, int32* done) {
  const auto* b = static_cast<const uint8_t*>(buffer);
  bytes.resize(std::max(bytes.size(), at + static_cast<size_t>(n)));
  std::memcpy(bytes.data() + at, b, static_cast<size_t>(n));
  at += static_cast<size_t>(n);
  if (done) *done = n;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 to, int32 mode, int64* result) {
  const int64 base = mode == kIBSeekSet   ? 0
                     : mode == kIBSeekCur ? static_cast<int64>(at)
                                          : static_cast<int64>(bytes.size());
  at = static_cast<size_t>(std::clamp<int64>(base + to, 0, static_cast<int64>(bytes.size())));
  if (result) *result = static_cast<int64>(at);
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* result) {
  if (result) *result = static_cast<int64>(at);
  return kResultOk;
}

tresult PLUGIN_API PointQueue::getPoint(int32 index, int32& offset, Vst::ParamValue& value) {
  if (index < 0 || index >= getPointCount()) return kInvalidArgument;
  offset = points[static_cast<size_t>(index)].first;
  value = points[static_cast<size_t>(index)].second;
  return kResultOk;
}

tresult PLUGIN_API PointQueue::addPoint(int32 offset, Vst::ParamValue value, int32& index) {
  index = getPointCount();
  points.emplace_back(offset, value);
  return kResultOk;
}

Vst::IParamValueQueue* PLUGIN_API Changes::getParameterData(int32 index) {
  return index >= 0 && index < getParameterCount() ? &queues[static_cast<size_t>(index)] : nullptr;
}

Vst::IParamValueQueue* PLUGIN_API Changes::addParameterData(const Vst::ParamID& id, int32& index) {
  for (size_t i = 0; i < queues.size(); ++i) {
    if (queues[i].id == id) {
      index = static_cast<int32>(i);
      return &queues[i];
    }
  }
  queues.emplace_back();
  queues.back().id = id;
  index = getParameterCount() - 1;
  return &queues.back();
}

void Changes::Add(Vst::ParamID id, int32 offset, double value) {
  int32 index = 0;
  int32 point = 0;
  addParameterData(id, index)->addPoint(offset, value, point);
}

namespace {
std::string Call(const char* what, Vst::ParamID id) {
  return std::string(what) + " " + std::to_string(id);
}
}  // namespace

tresult PLUGIN_API Handler::beginEdit(Vst::ParamID id) {
  calls.push_back(Call("begin", id));
  return kResultOk;
}
tresult PLUGIN_API Handler::performEdit(Vst::ParamID id, Vst::ParamValue value) {
  std::ostringstream text;
  text << Call("perform", id) << " " << value;
  calls.push_back(text.str());
  return kResultOk;
}
tresult PLUGIN_API Handler::endEdit(Vst::ParamID id) {
  calls.push_back(Call("end", id));
  return kResultOk;
}
tresult PLUGIN_API Handler::restartComponent(int32 flags) {
  calls.push_back("restart " + std::to_string(flags));
  return kResultOk;
}

const ModuleLoader& Vst3Module() {
  static ModuleLoader module(DM_VST3_MODULE_PATH);
  return module;
}

IPluginFactory* Vst3Factory() {
  using GetFactory = IPluginFactory*(PLUGIN_API*)();
  auto get = reinterpret_cast<GetFactory>(Vst3Module().Symbol("GetPluginFactory"));
  return get ? get() : nullptr;
}

Vst3Instance::Vst3Instance(bool withController) {
  IPluginFactory* factory = Vst3Factory();
  if (!factory) return;
  PClassInfo info{};
  factory->getClassInfo(0, &info);
  factory->createInstance(info.cid, Vst::IComponent_iid, reinterpret_cast<void**>(&component));
  if (!component) return;
  component->initialize(nullptr);
  component->queryInterface(Vst::IAudioProcessor_iid, reinterpret_cast<void**>(&processor));
  if (!withController) return;
  TUID controllerId{};
  component->getControllerClassId(controllerId);
  factory->createInstance(controllerId, Vst::IEditController_iid,
                          reinterpret_cast<void**>(&controller));
  if (!controller) return;
  controller->initialize(nullptr);
  controller->setComponentHandler(&handler);
}

Vst3Instance::~Vst3Instance() {
  if (controller) {
    controller->setComponentHandler(nullptr);
    controller->terminate();
    controller->release();
  }
  if (processor) processor->release();
  if (component) {
    component->terminate();
    component->release();
  }
}

void Vst3Instance::Start(double rate, int32 maxBlock, int32 sampleSize) {
  Vst::ProcessSetup setup{Vst::kRealtime, sampleSize, maxBlock, rate};
  ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
  ASSERT_EQ(component->setActive(true), kResultOk);
  ASSERT_EQ(processor->setProcessing(true), kResultOk);
}

std::vector<uint8_t> Vst3Instance::State() {
  MemoryStream stream;
  EXPECT_EQ(component->getState(&stream), kResultOk);
  return stream.bytes;
}

tresult Vst3Instance::SetState(const std::vector<uint8_t>& bytes) {
  MemoryStream stream(bytes);
  const tresult result = component->setState(&stream);
  if (result == kResultOk && controller) {
    MemoryStream again(bytes);
    EXPECT_EQ(controller->setComponentState(&again), kResultOk);
  }
  return result;
}

template <typename Sample>
tresult Vst3Instance::Process(const std::vector<std::vector<Sample>>& in,
                              std::vector<std::vector<Sample>>& out, int32 offset, int32 frames,
                              Vst::IParameterChanges* changes, uint64* silence) {
  std::vector<Sample*> inputs;
  std::vector<Sample*> outputs;
  for (size_t c = 0; c < in.size(); ++c) {
    inputs.push_back(const_cast<Sample*>(in[c].data()) + offset);
    outputs.push_back(out[c].data() + offset);
  }
  Vst::AudioBusBuffers inBus{};
  Vst::AudioBusBuffers outBus{};
  inBus.numChannels = static_cast<int32>(in.size());
  outBus.numChannels = static_cast<int32>(out.size());
  if constexpr (sizeof(Sample) == 4) {
    inBus.channelBuffers32 = inputs.data();
    outBus.channelBuffers32 = outputs.data();
  } else {
    inBus.channelBuffers64 = inputs.data();
    outBus.channelBuffers64 = outputs.data();
  }
  Vst::ProcessData data{};
  data.processMode = Vst::kRealtime;
  data.symbolicSampleSize = sizeof(Sample) == 4 ? Vst::kSample32 : Vst::kSample64;
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &inBus;
  data.outputs = &outBus;
  data.inputParameterChanges = changes;
  const tresult result = processor->process(data);
  if (silence) *silence = outBus.silenceFlags;
  return result;
}

template tresult Vst3Instance::Process<float>(const std::vector<std::vector<float>>&,
                                              std::vector<std::vector<float>>&, int32, int32,
                                              Vst::IParameterChanges*, uint64*);
template tresult Vst3Instance::Process<double>(const std::vector<std::vector<double>>&,
                                               std::vector<std::vector<double>>&, int32, int32,
                                               Vst::IParameterChanges*, uint64*);

std::string Text(const Vst::TChar* text) {
  std::string narrow;
  for (size_t i = 0; text[i] != 0; ++i) narrow.push_back(static_cast<char>(text[i]));
  return narrow;
}

}  // namespace vst3test
