#include "vst3/Vst3Component.h"

#include <algorithm>

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "vst3/IEffectVST3.h"
#include "vst3/Vst3ChangeSchedule.h"
#include "vst3/Vst3ClassIds.h"
#include "vst3/Vst3PluginFactory.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32_t kMostChannels = 2;

}  // namespace

Vst3Component* Vst3Component::Create(Vst3PluginMaker make) {
  IEffectVST3* plugin = make(nullptr);
  return plugin ? new (std::nothrow) Vst3Component(plugin) : nullptr;
}

// What effOpen does for a VST 2 host: the effect's quantities follow the
// parameters from the start.
Vst3Component::Vst3Component(IEffectVST3* plugin)
    : effect(plugin), arrangement(SpeakerArr::kStereo) {
  PluginLockGuard guard(effect->Lock());
  effect->NotifyAllParametersChanged();
  bypass.Prepare(effect->SampleRate(), IEffectVST3::kInitialBlockSize);
}

Vst3Component::~Vst3Component() { delete effect; }

uint32 PLUGIN_API Vst3Component::release() {
  const uint32 left = refs.Drop();
  if (left == 0) delete this;
  return left;
}

tresult PLUGIN_API Vst3Component::queryInterface(const TUID queried, void** obj) {
  if (!obj) return kInvalidArgument;
  if (SameIid(queried, FUnknown_iid) || SameIid(queried, IPluginBase_iid) ||
      SameIid(queried, IComponent_iid)) {
    *obj = static_cast<IComponent*>(this);
  } else if (SameIid(queried, IAudioProcessor_iid)) {
    *obj = static_cast<IAudioProcessor*>(this);
  } else {
    *obj = nullptr;
    return kNoInterface;
  }
  addRef();
  return kResultOk;
}

tresult PLUGIN_API Vst3Component::initialize(FUnknown*) { return kResultOk; }
tresult PLUGIN_API Vst3Component::terminate() { return kResultOk; }

tresult PLUGIN_API Vst3Component::getControllerClassId(TUID classId) {
  if (!classId) return kInvalidArgument;
  MakeVst3ClassId(kControllerIdPrefix, kVst3Plugin.vst2UniqueId, kVst3Plugin.name, classId);
  return kResultOk;
}

tresult PLUGIN_API Vst3Component::setIoMode(IoMode) { return kResultOk; }

int32 PLUGIN_API Vst3Component::getBusCount(MediaType type, BusDirection) {
  return type == kAudio ? 1 : 0;
}

tresult PLUGIN_API Vst3Component::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                             BusInfo& bus) {
  if (type != kAudio || index != 0) return kInvalidArgument;
  bus.mediaType = kAudio;
  bus.direction = dir;
  bus.channelCount = channels;
  CopyToString128(bus.name, dir == kInput ? "Input" : "Output");
  bus.busType = kMain;
  bus.flags = BusInfo::kDefaultActive;
  return kResultOk;
}

tresult PLUGIN_API Vst3Component::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
  return kNotImplemented;
}

tresult PLUGIN_API Vst3Component::activateBus(MediaType type, BusDirection, int32 index, TBool) {
  return type == kAudio && index == 0 ? kResultOk : kInvalidArgument;
}

tresult PLUGIN_API Vst3Component::setActive(TBool state) {
  effect->SetActive(state != 0);
  return kResultOk;
}

tresult PLUGIN_API Vst3Component::setState(IBStream* state) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeStream(state, bytes, kMostStateBytes)) return kResultFalse;
  int32_t handedBypass = -1;
  if (!effect->ReadState(bytes.data(), static_cast<int64_t>(bytes.size()), handedBypass)) {
    return kResultFalse;
  }
  if (handedBypass >= 0) {
    PluginLockGuard guard(effect->Lock());
    bypass.JumpTo(handedBypass != 0);
  }
  return kResultOk;
}

tresult PLUGIN_API Vst3Component::getState(IBStream* state) {
  IStateBuffer bytes;
  if (!effect->WriteState(bytes)) return kResultFalse;
  return WriteWholeStream(state, bytes.Data(), bytes.Size()) ? kResultOk : kResultFalse;
}

// Mono or stereo, the same on both sides: the VST 2 module's "1-1 2-2".
tresult PLUGIN_API Vst3Component::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                     SpeakerArrangement* outputs, int32 numOuts) {
  if (numIns != 1 || numOuts != 1 || !inputs || !outputs || inputs[0] != outputs[0]) {
    return kResultFalse;
  }
  if (inputs[0] != SpeakerArr::kStereo && inputs[0] != SpeakerArr::kMono) return kResultFalse;
  arrangement = inputs[0];
  channels = SpeakerArr::getChannelCount(arrangement);
  effect->SetChannelCounts(channels, channels);
  return kResultTrue;
}

tresult PLUGIN_API Vst3Component::getBusArrangement(BusDirection, int32 index,
                                                    SpeakerArrangement& arr) {
  if (index != 0) return kInvalidArgument;
  arr = arrangement;
  return kResultOk;
}

tresult PLUGIN_API Vst3Component::canProcessSampleSize(int32 symbolicSize) {
  return symbolicSize == kSample32 || symbolicSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API Vst3Component::getLatencySamples() {
  return static_cast<uint32>(std::max(effect->Latency(), 0));
}

tresult PLUGIN_API Vst3Component::setupProcessing(ProcessSetup& setup) {
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) {
    return kResultFalse;
  }
  effect->SetSampleRate(setup.sampleRate);
  effect->SetMaxBlockSize(setup.maxSamplesPerBlock);
  const int32_t frames = std::clamp(setup.maxSamplesPerBlock, 1, IEffectVST3::kMaxScratchFrames);
  PluginLockGuard guard(effect->Lock());
  bypass.Prepare(effect->SampleRate(), frames);
  return kResultOk;
}

tresult PLUGIN_API Vst3Component::setProcessing(TBool) { return kResultOk; }

// The crossover and smoothing filters ring on after the input falls silent,
// without a bound the effect could state.
uint32 PLUGIN_API Vst3Component::getTailSamples() { return kInfiniteTail; }

void Vst3Component::ApplyChange(ParamID id, ParamValue value) {
  if (id == kBypassParameterId) {
    bypass.SetBypassed(value >= 0.5);
  } else if (id == kProgramParameterId) {
    const int32_t program = ProgramOfNormalized(value, effect->PresetCount());
    if (program != effect->CurrentPresetIndex()) effect->ChangeProgram(program);
  } else if (id < static_cast<ParamID>(effect->ParameterCount())) {
    effect->SetParameterFromHost(static_cast<int32_t>(id), value);
  }
}

template <typename Sample>
void Vst3Component::RunPiece(Sample* const* inputs, Sample* const* outputs, int32_t count,
                             int32_t offset, int32_t frames) {
  Sample* in[kMostChannels] = {};
  Sample* out[kMostChannels] = {};
  for (int32_t c = 0; c < count; ++c) {
    in[c] = inputs[c] ? inputs[c] + offset : nullptr;
    out[c] = outputs[c] ? outputs[c] + offset : nullptr;
  }
  const bool fading = !bypass.Quiet();
  if (fading) bypass.KeepDry(in, count, frames);
  if constexpr (sizeof(Sample) == sizeof(float)) {
    effect->RunSingle(in, out, count, count, frames);
  } else {
    effect->RunDouble(in, out, count, count, frames);
  }
  if (fading) bypass.Mix(out, count, frames);
}

template <typename Sample>
uint64 Vst3Component::SilentChannels(Sample* const* outputs, int32_t count, int32_t frames) const {
  uint64 silent = 0;
  for (int32_t c = 0; c < count; ++c) {
    const Sample* samples = outputs[c];
    if (samples &&
        std::all_of(samples, samples + frames, [](Sample s) { return s == Sample(0); })) {
      silent |= uint64{1} << c;
    }
  }
  return silent;
}

tresult PLUGIN_API Vst3Component::process(ProcessData& data) {
  PluginLockGuard guard(effect->Lock());
  Vst3ChangeSchedule schedule(data.inputParameterChanges);
  const auto apply = [this](ParamID id, ParamValue value) { ApplyChange(id, value); };
  const int32_t frames = data.numSamples;
  const bool hasAudio = frames > 0 && data.numInputs >= 1 && data.numOutputs >= 1 && data.inputs &&
                        data.outputs && data.inputs[0].numChannels >= channels &&
                        data.outputs[0].numChannels >= channels;
  const bool isDouble = data.symbolicSampleSize == kSample64;
  Sample32** inputs = hasAudio ? data.inputs[0].channelBuffers32 : nullptr;
  Sample32** outputs = hasAudio ? data.outputs[0].channelBuffers32 : nullptr;
  // The 64-bit pointers share the storage of the 32-bit ones.
  Sample64** inputs64 = hasAudio ? data.inputs[0].channelBuffers64 : nullptr;
  Sample64** outputs64 = hasAudio ? data.outputs[0].channelBuffers64 : nullptr;
  if (!inputs || !outputs) {
    // No audio (a block of 0 frames, or a flush): only the changes apply.
    schedule.ApplyUpTo(Vst3ChangeSchedule::kNoPoint, apply);
    return kResultOk;
  }
  for (int32_t at = 0; at < frames;) {
    schedule.ApplyUpTo(at, apply);
    const int32_t end = std::min({frames, schedule.NextOffset(), at + bypass.MaxFrames()});
    if (isDouble) {
      RunPiece(inputs64, outputs64, channels, at, end - at);
    } else {
      RunPiece(inputs, outputs, channels, at, end - at);
    }
    at = end;
  }
  // Points at or beyond the block's end belong to its last frame.
  schedule.ApplyUpTo(Vst3ChangeSchedule::kNoPoint, apply);
  data.outputs[0].silenceFlags = isDouble ? SilentChannels(outputs64, channels, frames)
                                          : SilentChannels(outputs, channels, frames);
  return kResultOk;
}
