#include "vst3/IEffectVST3.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "vst3/Vst3StateFormat.h"

IEffectVST3::IEffectVST3(IVst3EditSink* editSink, int32_t parameterCount, const char* channelString,
                         int32_t presetCount, const char* effectTitle, const char* productTitle,
                         const char* vendorTitle, int32_t effectVersion, int32_t pluginId,
                         int32_t vendorId, int32_t latencySamples, int32_t midi, bool chunks,
                         bool instrument)
    : IHostlessEffectBase(parameterCount, channelString, presetCount, effectTitle, productTitle,
                          vendorTitle, effectVersion, pluginId, vendorId, latencySamples, midi,
                          chunks, instrument),
      edits(editSink) {
  ConnectInputs(0, InputCount(), true);
  ConnectOutputs(0, OutputCount(), true);
  PrepareForBlockSize(kInitialBlockSize);
  // Room for a program block in every slot, so that switching programs on
  // the audio thread never allocates.
  for (int32_t i = 0; i < PresetCount(); ++i) {
    PresetAt(i)->chunk.Reserve(ParameterCount() * static_cast<int32_t>(sizeof(double)));
  }
}

// The panel closes first, while a pending end of edit can still reach the
// host.
IEffectVST3::~IEffectVST3() {
  if (Editor()) Editor()->CloseEditorWindow();
}

void IEffectVST3::SetSampleRate(double rate) {
  PluginLockGuard guard(Lock());
  StoreSampleRate(rate);
  ApplySampleRate();
}

void IEffectVST3::SetMaxBlockSize(int32_t frames) {
  PluginLockGuard guard(Lock());
  if (frames > 0) PrepareForBlockSize(std::min(frames, kMaxScratchFrames));
  ApplySampleRate();
}

void IEffectVST3::SetChannelCounts(int32_t inputs, int32_t outputs) {
  PluginLockGuard guard(Lock());
  const int32_t in = std::clamp(inputs, 0, InputCount());
  const int32_t out = std::clamp(outputs, 0, OutputCount());
  ConnectInputs(0, in, true);
  ConnectInputs(in, InputCount() - in, false);
  ConnectOutputs(0, out, true);
  ConnectOutputs(out, OutputCount() - out, false);
}

void IEffectVST3::SetActive(bool on) {
  PluginLockGuard guard(Lock());
  ProcessingSwitched(on);
  if (!on) ApplySampleRate();
}

void IEffectVST3::RunSingle(float* const* inputs, float* const* outputs, int32_t inputCount,
                            int32_t outputCount, int32_t frames) {
  if (frames <= 0) return;
  RouteInputsSingle(0, inputCount, inputs, frames);
  RouteOutputsSingle(0, outputCount, outputs);
  RunBlockSingleReplacing(frames);
}

void IEffectVST3::RunDouble(double* const* inputs, double* const* outputs, int32_t inputCount,
                            int32_t outputCount, int32_t frames) {
  if (frames <= 0) return;
  RouteInputsDouble(0, inputCount, inputs);
  RouteOutputsDouble(0, outputCount, outputs);
  RunBlockDouble(frames);
}

void IEffectVST3::SetParameterFromHost(int32_t index, double normalized) {
  PluginLockGuard guard(Lock());
  IParameter* parameter = ParameterAt(index);
  if (!parameter || std::isnan(normalized)) return;
  normalized = std::clamp(normalized, 0.0, 1.0);
  // VST 2 hosts pass the value as a float; so does this, to land on the
  // same steps.
  const double asVst2 = static_cast<double>(static_cast<float>(normalized));
  if (Editor()) Editor()->ShowParameterValue(index, asVst2, true);
  parameter->SetFromNormalized(asVst2);
  ParameterChanged(index);
}

double IEffectVST3::ParameterNormalized(int32_t index) {
  PluginLockGuard guard(Lock());
  const IParameter* parameter = ParameterAt(index);
  return parameter ? static_cast<double>(static_cast<float>(parameter->Normalized())) : 0.0;
}

bool IEffectVST3::NormalizedFromText(int32_t index, const char* text, double& normalized) {
  PluginLockGuard guard(Lock());
  IParameter* parameter = ParameterAt(index);
  if (!parameter || !text) return false;
  // The conversion effString2Parameter makes, worked on the parameter and
  // undone: the host only asked.
  const double kept = parameter->value;
  parameter->SetValueClamped(parameter->ValueFromText(text));
  normalized = parameter->Normalized();
  parameter->value = kept;
  return true;
}

void IEffectVST3::ChangeProgram(int32_t index) {
  PluginLockGuard guard(Lock());
  if (!PresetAt(index)) return;
  StoreIntoCurrentPreset(nullptr);
  SelectPreset(index);
}

bool IEffectVST3::WriteState(IStateBuffer& state) {
  PluginLockGuard guard(Lock());
  if (!WriteBankChunk(state)) return false;
  const int32_t before = state.Size();
  return state.AppendInt32(CurrentPresetIndex()) == before + 4;
}

bool IEffectVST3::ReadState(const uint8_t* bytes, int64_t size, int32_t& bypass) {
  bypass = -1;
  if (!bytes || size < 0 || size > INT32_MAX) return false;
  const Vst3StateLayout layout{UniqueId(), ParameterCount(), PresetCount()};
  const Vst3DecodedState state = DecodeVst3State(bytes, static_cast<size_t>(size), layout);
  PluginLockGuard guard(Lock());
  bool applied = false;
  switch (state.kind) {
    case Vst3StateKind::Refused:
      return false;
    case Vst3StateKind::Own:
      applied = ApplyOwnState(state.chunk.data(), static_cast<int32_t>(state.chunk.size()),
                              state.program);
      break;
    case Vst3StateKind::BankChunk:
      applied = ApplyOwnState(state.chunk.data(), static_cast<int32_t>(state.chunk.size()),
                              state.program >= 0 ? state.program : CurrentPresetIndex());
      break;
    case Vst3StateKind::ProgramChunk:
      // As effSetChunk for a program: the values become the current
      // program's; the file's name goes with them.
      applied = ReadChunkFromHost(chunk, state.chunk.data(),
                                  static_cast<int64_t>(state.chunk.size()), false);
      if (applied && !state.programName.empty()) StoreIntoCurrentPreset(state.programName.c_str());
      break;
    case Vst3StateKind::ProgramValues:
      applied = ApplyProgramValues(CurrentPresetIndex(), state.programs[0].name.c_str(),
                                   state.programs[0].normalized.data());
      break;
    case Vst3StateKind::BankValues: {
      // As a host loads a bank into a VST 2 plug-in: each program in turn,
      // then the bank's current one.
      const int32_t current = state.program >= 0 ? state.program : 0;
      applied = true;
      for (int32_t i = 0; i < PresetCount() && applied; ++i) {
        applied = ApplyProgramValues(i, state.programs[i].name.c_str(),
                                     state.programs[i].normalized.data());
      }
      applied = applied && SelectPreset(current);
      break;
    }
  }
  if (applied) bypass = state.bypass;
  PushValuesToEditor();
  return applied;
}

// A decoded bank: the slots, then the program that was current.
bool IEffectVST3::ApplyOwnState(const uint8_t* bytes, int32_t size, int32_t program) {
  currentPreset = program;
  return ReadChunkFromHost(chunk, bytes, size, /*isBank=*/true);
}

bool IEffectVST3::ApplyProgramValues(int32_t slot, const char* name, const float* normalized) {
  IPresetSlot* target = PresetAt(slot);
  if (!target) return false;
  currentPreset = slot;
  for (int32_t i = 0; i < ParameterCount(); ++i) {
    ParameterAt(i)->SetFromNormalized(static_cast<double>(normalized[i]));
    ParameterChanged(i);
  }
  StoreIntoCurrentPreset(nullptr);
  target->initialized = true;
  target->SetName(name);
  return true;
}

void IEffectVST3::HostBeginEdit(int32_t index) {
  PluginLockGuard guard(Lock());
  FlushDeferredEndOfEdit();
  if (edits) edits->BeginEdit(index);
}

void IEffectVST3::HostBeginEditUnlessPending(int32_t index) {
  PluginLockGuard guard(Lock());
  // A wheel gesture on the parameter whose end is still pending continues.
  if (index == PendingEndEdit()) return;
  IEffectVST3::HostBeginEdit(index);
}

void IEffectVST3::HostAutomate(int32_t index, double normalized) {
  PluginLockGuard guard(Lock());
  if (edits) edits->PerformEdit(index, normalized);
}

void IEffectVST3::HostEndEdit(int32_t index) {
  PluginLockGuard guard(Lock());
  if (edits) edits->EndEdit(index);
}
