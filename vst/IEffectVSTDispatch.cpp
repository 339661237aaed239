// The host's requests through the dispatcher: the table that sends each to
// the operation of its concern, opening, processing setup and the host
// extensions. Requests the plug-in does not handle answer 0 and do nothing.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/SaturatingConversions.h"
#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

namespace {

constexpr intptr_t kIdentifyAnswer = VstFourCC('N', 'v', 'E', 'f');

// Host extensions (effVendorSpecific).
constexpr intptr_t kExtensionHandled = 0xBEEF;
constexpr int32_t kWheelSelector = VstFourCC('s', 't', 'C', 'A');
constexpr intptr_t kWheelValue = VstFourCC('W', 'h', 'e', 'e');

bool IsSwitch(const IParameter& parameter) {
  if (parameter.kind == ParamKind::Boolean) return true;
  const bool stepped =
      parameter.kind == ParamKind::Integer || parameter.kind == ParamKind::Enumerated;
  return stepped && std::fabs(parameter.max - parameter.min) < 1.5;
}

}  // namespace

intptr_t IEffectVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  // The editor's idle work paints and handles input like a window timer,
  // without the lock: holding it would stall the audio thread for a repaint.
  // The editor takes it where it reaches the plug-in.
  if (opcode == effEditIdle) {
    if (IEditorSeam* open = Editor()) open->Idle();
    return 0;
  }
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

// Sample rate, block size and processing on/off: each lets the effect pick
// up the current rate.
intptr_t IEffectVST::DispatchProcessingSetup(int32_t opcode, intptr_t value, float opt) {
  switch (opcode) {
    case effSetSampleRate:
      StoreSampleRate(static_cast<double>(opt));
      ApplySampleRate();
      break;
    case effSetBlockSize:
      // A size of zero or less announces nothing usable: the buffers stay.
      if (value > 0)
        PrepareForBlockSize(static_cast<int32_t>(std::min<intptr_t>(value, kMaxScratchFrames)));
      ApplySampleRate();
      break;
    case effMainsChanged:
      if (value != 0) {
        ProcessingSwitched(true);
      } else {
        ProcessingSwitched(false);
        ApplySampleRate();
      }
      break;
    default:
      break;
  }
  return 0;
}

// effVendorSpecific: the host extensions the plug-in answers (display text of
// any normalised value, switch detection, normalised value of a text, and the
// host's mouse wheel).

intptr_t IEffectVST::VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  IParameter* parameter = ParameterAt(SaturateToInt32(value));
  switch (index) {
    case effGetParamDisplay:
      if (!text) return 0;
      if (parameter)
        parameter->FormatValue(static_cast<double>(opt), true, text, kParameterTextBytes);
      return kExtensionHandled;
    case effGetParamName:
      return parameter && IsSwitch(*parameter) ? kExtensionHandled : 0;
    case effString2Parameter:
      if (!text || !parameter) return 0;
      if (text[0] != '\0') {
        double v = parameter->ValueFromText(text);
        // A text that reads as no number at all stands for the minimum, as
        // when the host stores it (effString2Parameter).
        if (std::isnan(v)) v = parameter->min;
        std::snprintf(text, kParameterTextBytes, "%.17f", parameter->NormalizedOf(v));
      }
      return kExtensionHandled;
    case kWheelSelector:
      if (value != kWheelValue || !editor) return 0;
      return editor->HandleHostWheel(opt);
    default:
      return 0;
  }
}
