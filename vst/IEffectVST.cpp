// The effect record and what the plug-in declares through it: construction,
// flags, names, capabilities, latency and the editor.
#include <cstring>

#include "framework/TextCopy.h"
#include "platform/SaturatingConversions.h"
#include "vst/IEffectVST.h"
#include "vst/Vst2ParentWindow.h"
#include "vst/VstCallbacks.h"
#include "vst/VstTextLimits.h"

IEffectVST::IEffectVST(audioMasterCallback host, int32_t parameterCount, const char* channelString,
                       int32_t presetCount, const char* effectTitle, const char* productTitle,
                       const char* vendorTitle, int32_t effectVersion, int32_t pluginId,
                       int32_t vendorId, int32_t latencySamples, int32_t midi, bool chunks,
                       bool instrument)
    : IEffectBase(parameterCount, channelString, presetCount, effectTitle, productTitle,
                  vendorTitle, effectVersion, pluginId, vendorId, latencySamples, midi, chunks,
                  instrument),
      hostCallback(host) {
  FillEffectRecord();
  FillSpeakerArrangement(inputArrangement, InputCount());
  FillSpeakerArrangement(outputArrangement, OutputCount());
  ConnectInputs(0, InputCount(), true);
  ConnectOutputs(0, OutputCount(), true);
  PrepareForBlockSize(kInitialBlockSize);
}

// The editor's window closes first, while the binding can still send the
// host a pending end of edit; then the chunk buffers go (members in reverse
// order), then the base with its parameters, programs and editor.
IEffectVST::~IEffectVST() {
  if (Editor()) Editor()->CloseEditorWindow();
}

IEffectVST* IEffectVST::FromEffect(AEffect* record) {
  return record ? static_cast<IEffectVST*>(record->object) : nullptr;
}

void IEffectVST::FillEffectRecord() {
  effect = AEffect{};
  effect.magic = kEffectMagic;
  effect.dispatcher = &VstCallbacks::Dispatcher;
  effect.process = &VstCallbacks::ProcessAccumulating;
  effect.setParameter = &VstCallbacks::SetParameter;
  effect.getParameter = &VstCallbacks::GetParameter;
  effect.numPrograms = PresetCount();
  effect.numParams = ParameterCount();
  effect.numInputs = InputCount();
  effect.numOutputs = OutputCount();
  effect.flags = EffectFlags();
  effect.initialDelay = Latency();
  effect.ioRatio = 1.0f;
  effect.object = static_cast<IEffectVST*>(this);
  effect.uniqueID = UniqueId();
  effect.version = VersionNumber(true);
  effect.processReplacing = &VstCallbacks::ProcessReplacing;
  effect.processDoubleReplacing = &VstCallbacks::ProcessDoubleReplacing;
}

int32_t IEffectVST::EffectFlags() const {
  int32_t flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (UsesChunks()) flags |= effFlagsProgramChunks;
  if (SupportsChannelCounts(1, -1)) flags |= effFlagsCanMono;
  if (IsInstrument()) flags |= effFlagsIsSynth;
  return flags;
}

void IEffectVST::FillSpeakerArrangement(VstSpeakerArrangement& arrangement, int32_t channels) {
  arrangement = VstSpeakerArrangement{};
  arrangement.numChannels = channels;
  if (channels <= 0)
    arrangement.type = kSpeakerArrEmpty;
  else if (channels == 1)
    arrangement.type = kSpeakerArrMono;
  else if (channels == 2)
    arrangement.type = kSpeakerArrStereo;
  else
    arrangement.type = kSpeakerArrUserDefined;
}

void IEffectVST::CopyChannelCountsToRecord() {
  effect.numInputs = InputCount();
  effect.numOutputs = OutputCount();
  inputArrangement.numChannels = InputCount();
  outputArrangement.numChannels = OutputCount();
}

void IEffectVST::AttachEditor(IEditorSeam* newEditor) {
  if (!newEditor) return;
  IEffectBase::AttachEditor(newEditor);
  if (!Editor()) return;
  effect.flags |= effFlagsHasEditor;
  EditorResized(Editor()->Width(), Editor()->Height());
}

void IEffectVST::EditorResized(int32_t /*width*/, int32_t /*height*/) {
  PluginLockGuard guard(lock);
  if (!Editor()) return;
  editorRect.top = 0;
  editorRect.left = 0;
  editorRect.bottom = SaturateToInt16(Editor()->Height());
  editorRect.right = SaturateToInt16(Editor()->Width());
}

void IEffectVST::DeclareLatency(int32_t samples) {
  effect.initialDelay = samples;
  IEffectBase::DeclareLatency(samples);
}

// The names the host shows for the plug-in.
intptr_t IEffectVST::DispatchIdentity(int32_t opcode, void* ptr) {
  char* text = static_cast<char*>(ptr);
  if (!text) return 0;
  switch (opcode) {
    case effGetEffectName:
      CopyTextBounded(text, kEffectNameBytes, EffectName());
      return 1;
    case effGetVendorString:
      CopyTextBounded(text, kVendorStringBytes, MakerName());
      return 1;
    case effGetProductString:
      CopyTextBounded(text, kProductStringBytes, ProductName());
      return 1;
    default:
      return 0;
  }
}

// effCanDo: the capability texts the plug-in answers, compared whole.
namespace {

constexpr intptr_t kCockosExtensionsAnswer = 0xBEEF0000;

bool Is(const char* text, const char* capability) { return std::strcmp(text, capability) == 0; }

}  // namespace

intptr_t IEffectVST::CanDo(const char* text) const {
  if (!text) return 0;
  if (Is(text, "receiveVstTimeInfo")) return 1;
  if (Is(text, "sendVstEvents") || Is(text, "sendVstMidiEvent")) return (midiFlags & 1) ? 1 : 0;
  if (Is(text, "receiveVstEvents") || Is(text, "receiveVstMidiEvent"))
    return (midiFlags == 1 || midiFlags == 2) ? 1 : 0;
  if (Is(text, "hasCockosExtensions") || Is(text, "hasCockosViewAsConfig"))
    return kCockosExtensionsAnswer;
  return 0;
}

// Editor requests; a plug-in without an editor answers 0 to each.
intptr_t IEffectVST::DispatchEditor(int32_t opcode, void* ptr) {
  if (!editor) return 0;
  switch (opcode) {
    case effEditGetRect:
      if (!ptr) return 0;
      *static_cast<ERect**>(ptr) = &editorRect;
      return 1;
    case effEditOpen:
      if (!editor->OpenEditorWindow(Vst2ParentWindow(ptr))) return 0;
      EditorOpened();
      return 1;
    case effEditClose:
      EditorClosing();
      editor->CloseEditorWindow();
      return 1;
    default:
      return 0;
  }
}
