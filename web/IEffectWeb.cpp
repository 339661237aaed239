#include "web/IEffectWeb.h"

#include <algorithm>

IEffectWeb::IEffectWeb(IWebHost* webHost, int32_t parameterCount, const char* channelString,
                       int32_t presetCount, const char* effectTitle, const char* productTitle,
                       const char* vendorTitle, int32_t effectVersion, int32_t pluginId,
                       int32_t vendorId, int32_t latencySamples, int32_t midi, bool chunks,
                       bool instrument)
    : IHostlessEffectBase(parameterCount, channelString, presetCount, effectTitle, productTitle,
                          vendorTitle, effectVersion, pluginId, vendorId, latencySamples, midi,
                          chunks, instrument),
      host(webHost),
      audio(static_cast<size_t>(InputCount() + OutputCount()) * kMaxFrames, 0.0f) {
  for (int32_t c = 0; c < InputCount() + OutputCount(); ++c)
    channels.push_back(audio.data() + static_cast<size_t>(c) * kMaxFrames);
  ConnectInputs(0, InputCount(), true);
  ConnectOutputs(0, OutputCount(), true);
}

void IEffectWeb::Prepare(double rate) {
  PluginLockGuard guard(Lock());
  StoreSampleRate(rate);
  PrepareForBlockSize(kMaxFrames);
  ApplySampleRate();
  NotifyAllParametersChanged();
  ProcessingSwitched(true);
}

float* IEffectWeb::InputBuffer(int32_t channel) {
  return channel >= 0 && channel < InputCount() ? channels[channel] : nullptr;
}

float* IEffectWeb::OutputBuffer(int32_t channel) {
  return channel >= 0 && channel < OutputCount() ? channels[InputCount() + channel] : nullptr;
}

void IEffectWeb::Process(int32_t frames) {
  PluginLockGuard guard(Lock());
  frames = std::min(frames, kMaxFrames);
  if (frames <= 0) return;
  RouteInputsSingle(0, InputCount(), channels.data(), frames);
  RouteOutputsSingle(0, OutputCount(), channels.data() + InputCount());
  RunBlockSingleReplacing(frames);
}

void IEffectWeb::SetParameterValue(int32_t index, double value) {
  PluginLockGuard guard(Lock());
  IParameter* parameter = ParameterAt(index);
  if (!parameter) return;
  if (editor) editor->ShowParameterValue(index, value, false);
  parameter->SetSteppedValue(value);
  ParameterChanged(index);
}

void IEffectWeb::SelectProgram(int32_t index) {
  PluginLockGuard guard(Lock());
  if (!PresetAt(index)) return;
  StoreIntoCurrentPreset(nullptr);
  SelectPreset(index);
}

void IEffectWeb::HostAutomate(int32_t index, double /*normalized*/) {
  PluginLockGuard guard(Lock());
  const IParameter* parameter = ParameterAt(index);
  if (host && parameter) host->ParameterEdited(index, parameter->value);
}
