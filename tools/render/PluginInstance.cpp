#include "tools/render/PluginInstance.h"

#include "tools/render/RenderError.h"

#include <algorithm>

namespace render {
namespace {

VstSpeakerArrangement ArrangementFor(int32_t channels) {
  VstSpeakerArrangement a{};
  a.numChannels = channels;
  a.type = channels == 1   ? kSpeakerArrMono
           : channels == 2 ? kSpeakerArrStereo
                           : kSpeakerArrUserDefined;
  for (int32_t i = 0; i < std::min(channels, kVstSpeakerArrangementSpeakers); ++i) {
    a.speakers[i].type = channels == 1 ? 0 : i + 1;  // kSpeakerM, then kSpeakerL, kSpeakerR, ...
  }
  return a;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

PluginInstance::PluginInstance(const std::string& modulePath) : module_(modulePath) {
  effect_ = module_.EntryPoint()(&RenderHostCallback);
  if (!effect_) {
    throw RenderError("cannot load plug-in '" + modulePath +
                      "': its entry point returned no plug-in");
  }
  if (effect_->magic != kEffectMagic) {
    effect_ = nullptr;  // not ours to close: it is no effect record
    throw RenderError("cannot load plug-in '" + modulePath +
                      "': not a VST 2.4 plug-in (its record lacks the VstP magic)");
  }
  if (!effect_->dispatcher || !(effect_->processReplacing || effect_->process)) {
    effect_ = nullptr;
    throw RenderError("cannot load plug-in '" + modulePath +
                      "': not a VST 2.4 plug-in (it has no dispatcher or audio callback)");
  }
  effect_->user = &host_;
}

PluginInstance::~PluginInstance() {
  if (!effect_) {
    return;
  }
  if (running_) {
    Stop();
  }
  // effClose is sent even to an instance that was never opened: it is how
  // the host releases what the entry point created.
  effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
  effect_ = nullptr;
}

intptr_t PluginInstance::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::DispatchText(int32_t opcode, int32_t index) {
  char text[256] = {};
  Dispatch(opcode, index, 0, text);
  text[sizeof(text) - 1] = '\0';
  return text;
}

void PluginInstance::Open() {
  if (!open_) {
    Dispatch(effOpen);
    open_ = true;
  }
}

void PluginInstance::SetSampleRateAndBlockSize(double sampleRate, int32_t blockSize) {
  host_.sampleRate = sampleRate;
  host_.blockSize = blockSize;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(effSetBlockSize, 0, blockSize);
}

bool PluginInstance::RequestChannels(int32_t channels) {
  VstSpeakerArrangement in = ArrangementFor(channels);
  VstSpeakerArrangement out = ArrangementFor(channels);
  return Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out) != 0;
}

void PluginInstance::AnnouncePrecision(bool useDouble) {
  constexpr intptr_t kProcessPrecision32 = 0;
  constexpr intptr_t kProcessPrecision64 = 1;
  Dispatch(effSetProcessPrecision, 0, useDouble ? kProcessPrecision64 : kProcessPrecision32);
}

void PluginInstance::Start() {
  host_.samplePosition = 0.0;
  host_.rendering = true;
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
  running_ = true;
}

void PluginInstance::Stop() {
  Dispatch(effStopProcess);
  Dispatch(effMainsChanged, 0, 0);
  host_.rendering = false;
  running_ = false;
}

void PluginInstance::SetParameter(int32_t index, float normalized) {
  effect_->setParameter(effect_, index, normalized);
}

bool PluginInstance::CanProcessDouble() const {
  return (effect_->flags & effFlagsCanDoubleReplacing) != 0 &&
         effect_->processDoubleReplacing != nullptr;
}

void PluginInstance::Process(float** inputs, float** outputs, int32_t frames) {
  if (effect_->processReplacing && (effect_->flags & effFlagsCanReplacing)) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
  } else {
    // A plug-in that only accumulates adds to silence.
    for (int32_t c = 0; c < effect_->numOutputs; ++c) {
      std::fill(outputs[c], outputs[c] + frames, 0.0f);
    }
    effect_->process(effect_, inputs, outputs, frames);
  }
  host_.samplePosition += frames;
}

void PluginInstance::Process(double** inputs, double** outputs, int32_t frames) {
  effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
  host_.samplePosition += frames;
}

std::string PluginInstance::Name() {
  const std::string name = DispatchText(effGetEffectName);
  return name.empty() ? FileNameOf(module_.Path()) : name;
}

}  // namespace render
