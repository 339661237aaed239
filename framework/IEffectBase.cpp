// Construction, identity, teardown, the default bodies of the effect's seams,
// the editor hand-over and host identification.
#include "framework/IEffectBase.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/SampleConversion.h"
#include "framework/TextCopy.h"
#include "platform/SaturatingConversions.h"

namespace {

// One "%d" as C scanning reads it: blanks skipped, optional sign, digits.
// Saturates instead of overflowing. False (p unchanged) when no digit follows.
bool ScanCount(const char*& p, int32_t& count) {
  char* end = nullptr;
  const long long read = std::strtoll(p, &end, 10);
  if (end == p) return false;
  p = end;
  count = SaturateToInt32(read);
  return true;
}

}  // namespace

IEffectBase::IEffectBase(int32_t parameterCount, const char* channelString, int32_t presetCount,
                         const char* effectNameText, const char* productNameText,
                         const char* makerNameText, int32_t effectVersion, int32_t uniqueIdCode,
                         int32_t makerIdCode, int32_t latencySamples, int32_t midiFlagsValue,
                         bool chunks, bool instrument)
    : uniqueId(uniqueIdCode),
      makerId(makerIdCode),
      version(effectVersion),
      usesChunks(chunks),
      isInstrument(instrument),
      midiFlags(midiFlagsValue),
      latency(latencySamples),
      converters(FastestSampleConverters()) {
  for (int32_t i = 0; i < parameterCount; ++i) parameters.Append(new (std::nothrow) IParameter);
  CreatePresetSlots(presetCount);
  CopyTextBounded(effectName, sizeof effectName, effectNameText);
  CopyTextBounded(productName, sizeof productName, productNameText);
  CopyTextBounded(makerName, sizeof makerName, makerNameText);
  int32_t maxInputs = 0;
  int32_t maxOutputs = 0;
  ParseChannelString(channelString, maxInputs, maxOutputs);
  CreateChannels(maxInputs, maxOutputs);
}

IEffectBase::~IEffectBase() {
  // The editor goes first: its controls may still look at the parameters.
  delete editor;
  editor = nullptr;
  parameters.DeleteAll();
  presets.DeleteAll();
  inputChannels.DeleteAll();
  outputChannels.DeleteAll();
  channelConfigs.DeleteAll();
  inputPointers.Resize(0, true);
  outputPointers.Resize(0, true);
}

void IEffectBase::CreatePresetSlots(int32_t presetCount) {
  for (int32_t i = 0; i < presetCount; ++i) {
    auto* slot = new (std::nothrow) IPresetSlot;
    if (!slot) continue;
    std::snprintf(slot->name, sizeof slot->name, "- %d -", static_cast<int>(i + 1));
    presets.Append(slot);
  }
}

// "1-1 2-2": each blank starts another inputs-outputs pair; a count that
// cannot be read stays 0.
void IEffectBase::ParseChannelString(const char* channelString, int32_t& maxInputs,
                                     int32_t& maxOutputs) {
  if (!channelString) return;
  const char* position = channelString;
  for (;;) {
    auto* config = new (std::nothrow) IChannelConfig;
    if (config) {
      const char* p = position;
      if (ScanCount(p, config->inputCount) && *p == '-') {
        ++p;
        ScanCount(p, config->outputCount);
      }
      if (config->inputCount > maxInputs) maxInputs = config->inputCount;
      if (config->outputCount > maxOutputs) maxOutputs = config->outputCount;
      channelConfigs.Append(config);
    }
    const char* blank = std::strchr(position, ' ');
    if (!blank) break;
    position = blank + 1;
  }
}

void IEffectBase::CreateChannels(int32_t inputCount, int32_t outputCount) {
  // The pointer arrays are sized once and never again: the channel records
  // keep the addresses of their elements. A count the array cannot hold
  // leaves fewer channels rather than records pointing nowhere.
  const auto pointerBytes = [](int32_t count) {
    const int64_t bytes = static_cast<int64_t>(count) * static_cast<int64_t>(sizeof(double*));
    return bytes > INT32_MAX ? 0 : static_cast<int32_t>(bytes);
  };
  inputPointers.Resize(pointerBytes(inputCount), false);
  outputPointers.Resize(pointerBytes(outputCount), false);
  if (inputPointers.Data())
    std::memset(inputPointers.Data(), 0, static_cast<size_t>(inputPointers.Size()));
  if (outputPointers.Data())
    std::memset(outputPointers.Data(), 0, static_cast<size_t>(outputPointers.Size()));

  auto* inputArray = reinterpret_cast<double**>(inputPointers.Data());
  auto* outputArray = reinterpret_cast<double**>(outputPointers.Data());
  const int32_t inputs = inputPointers.Size() / static_cast<int32_t>(sizeof(double*));
  const int32_t outputs = outputPointers.Size() / static_cast<int32_t>(sizeof(double*));
  for (int32_t i = 0; i < inputs; ++i) {
    auto* channel = new (std::nothrow) IInputChannel;
    if (!channel) break;
    channel->slot = inputArray + i;
    if (!inputChannels.Append(channel)) break;
  }
  for (int32_t i = 0; i < outputs; ++i) {
    auto* channel = new (std::nothrow) IOutputChannel;
    if (!channel) break;
    channel->slot = outputArray + i;
    if (!outputChannels.Append(channel)) break;
  }
  scratchFrames = MeasureScratchFrames();
}

double** IEffectBase::InputPointerArray() const {
  return InputCount() > 0 ? reinterpret_cast<double**>(inputPointers.Data()) : nullptr;
}

double** IEffectBase::OutputPointerArray() const {
  return OutputCount() > 0 ? reinterpret_cast<double**>(outputPointers.Data()) : nullptr;
}

// ---- Default bodies of the seams ----

void IEffectBase::ApplySampleRate() { PluginLockGuard guard(lock); }

void IEffectBase::ParameterChanged(int32_t /*index*/) { PluginLockGuard guard(lock); }

void IEffectBase::ProcessingSwitched(bool /*on*/) { PluginLockGuard guard(lock); }

bool IEffectBase::MidiNoteName(int32_t /*note*/, char* text) {
  if (text) text[0] = '\0';
  return false;
}

bool IEffectBase::SaveState(IStateBuffer& chunk) { return WriteParameters(chunk); }

int32_t IEffectBase::LoadState(IStateBuffer& chunk, int32_t position) {
  return ReadParameters(chunk, position);
}

HostKind IEffectBase::QueryHostKind() { return hostKind; }

void IEffectBase::DeclareLatency(int32_t samples) { latency = samples; }

bool IEffectBase::SendMidiMessages(const IShortMidi* messages, int32_t count) {
  bool allSent = true;
  if (!messages) return allSent;
  for (int32_t i = 0; i < count; ++i) {
    const bool sent = SendMidiMessage(messages[i]);
    allSent = allSent && sent;
  }
  return allSent;
}

// ---- Identity ----

int32_t IEffectBase::VersionNumber(bool asDecimal) const {
  if (!asDecimal) return version;
  const int32_t major = version >> 16;
  const int32_t minor = (version >> 8) & 0xFF;
  const int32_t revision = version & 0xFF;
  return major * 10000 + minor * 100 + revision;
}

void IEffectBase::IdentifyHost(const char* hostProductName, int32_t hostVersionNumber) {
  hostKind = HostKindFromName(hostProductName);
  hostVersion = hostVersionNumber;
}

// ---- Parameters and the editor ----

void IEffectBase::SetParameterFromEditor(int32_t index, double normalized) {
  PluginLockGuard guard(lock);
  IParameter* parameter = ParameterAt(index);
  if (!parameter) return;
  parameter->SetFromNormalized(normalized);
  // The host hears the value the control sent, not the stepped one: echoing
  // the stepped value back would fight the host's own automation curve.
  HostAutomate(index, normalized);
  ParameterChanged(index);
}

void IEffectBase::NotifyAllParametersChanged() {
  for (int32_t i = 0; i < ParameterCount(); ++i) ParameterChanged(i);
}

void IEffectBase::PushValuesToEditor() {
  if (!editor) return;
  for (int32_t i = 0; i < ParameterCount(); ++i)
    editor->ShowParameterValue(i, ParameterAt(i)->value, false);
}

void IEffectBase::AttachEditor(IEditorSeam* newEditor) {
  if (!newEditor) return;
  PluginLockGuard guard(lock);
  for (int32_t i = 0; i < ParameterCount(); ++i) {
    newEditor->ShowParameterValue(i, ParameterAt(i)->Normalized(), true);
  }
  newEditor->CreateBackBuffer();
  if (editor != newEditor) delete editor;
  editor = newEditor;
}

void IEffectBase::DeferEndOfEdit(int32_t index) {
  PluginLockGuard guard(lock);
  if (!editor) {
    HostEndEdit(index);
    return;
  }
  pendingEndEdit = index;
  const int32_t ticks = editor->FramesPerSecond() / 2;
  editor->StartEndEditCountdown(ticks >= 1 ? ticks : 1);
}

void IEffectBase::FlushDeferredEndOfEdit() {
  PluginLockGuard guard(lock);
  if (editor) editor->StopEndEditCountdown();
  if (pendingEndEdit < 0) return;
  // Cleared before the host hears of it, so a flush re-entered from the
  // host's callback cannot send the notice twice.
  const int32_t index = pendingEndEdit;
  pendingEndEdit = -1;
  HostEndEdit(index);
}
