// The host's requests through the dispatcher. Requests the plug-in does not
// handle answer 0 and do nothing.
#include "vst/IEffectVST.h"

namespace {

constexpr intptr_t kIdentifyAnswer = VstFourCC('N', 'v', 'E', 'f');

}  // namespace

intptr_t IEffectVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  PluginLockGuard guard(lock);
  switch (opcode) {
    case effOpen:
      return Open();
    case effSetProgram:
    case effGetProgram:
    case effSetProgramName:
    case effGetProgramName:
    case effGetProgramNameIndexed:
      return DispatchPrograms(opcode, index, value, ptr);
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effString2Parameter:
      return DispatchParameterTexts(opcode, index, ptr);
    case effCanBeAutomated:
      return 1;
    case effSetSampleRate:
    case effSetBlockSize:
    case effMainsChanged:
      return DispatchProcessingSetup(opcode, value, opt);
    case effEditGetRect:
    case effEditOpen:
    case effEditClose:
      return DispatchEditor(opcode, ptr);
    case effIdentify:
      return kIdentifyAnswer;
    case effGetChunk:
      return GetChunk(index, static_cast<void**>(ptr));
    case effSetChunk:
      return SetChunk(index, value, ptr);
    case effProcessEvents:
      return ProcessEvents(static_cast<const VstEvents*>(ptr));
    case effGetInputProperties:
    case effGetOutputProperties:
    case effSetSpeakerArrangement:
    case effGetSpeakerArrangement:
      return DispatchChannels(opcode, index, value, ptr);
    case effGetPlugCategory:
      return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
      return DispatchIdentity(opcode, ptr);
    case effGetVendorVersion:
      return VersionNumber(true);
    case effVendorSpecific:
      return VendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return CanDo(static_cast<const char*>(ptr));
    case effGetVstVersion:
      return kVstVersion;
    case effGetMidiKeyName:
      return MidiKeyNameOf(static_cast<MidiKeyName*>(ptr));
    case effEditIdle:
    case effProcessVarIo:
    case effIdle:
    default:
      return 0;
  }
}

intptr_t IEffectVST::Open() {
  HostSpecificSetup();
  NotifyAllParametersChanged();
  return 0;
}
