// Pins and speaker arrangements. Every index and channel count from the host
// is checked against the channel records before it is used.
#include <algorithm>
#include <cstdio>

#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

intptr_t IEffectVST::DispatchChannels(int32_t opcode, int32_t index, intptr_t value, void* ptr) {
  switch (opcode) {
    case effGetInputProperties:
      return PinProperties(index, InputCount(), "Input", static_cast<VstPinProperties*>(ptr));
    case effGetOutputProperties:
      return PinProperties(index, OutputCount(), "Output", static_cast<VstPinProperties*>(ptr));
    case effSetSpeakerArrangement:
      return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                   static_cast<const VstSpeakerArrangement*>(ptr));
    case effGetSpeakerArrangement:
      if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement;
      if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement;
      return 1;
    default:
      return 0;
  }
}

intptr_t IEffectVST::PinProperties(int32_t index, int32_t channelCount, const char* prefix,
                                   VstPinProperties* properties) const {
  if (!properties || index < 0 || index >= channelCount) return 0;
  // Even channels with a partner pair up as a stereo pin.
  const bool startsStereoPair = index % 2 == 0 && index < channelCount - 1;
  properties->flags = startsStereoPair ? kVstPinIsActive | kVstPinIsStereo : kVstPinIsActive;
  std::snprintf(properties->label, kPinLabelBytes, "%s %d", prefix, static_cast<int>(index + 1));
  return 1;
}

intptr_t IEffectVST::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                           const VstSpeakerArrangement* outputs) {
  if (inputs) {
    const int32_t connected = std::clamp(inputs->numChannels, 0, InputCount());
    ConnectInputs(0, connected, true);
    ConnectInputs(connected, InputCount() - connected, false);
  }
  if (outputs) {
    const int32_t connected = std::clamp(outputs->numChannels, 0, OutputCount());
    ConnectOutputs(0, connected, true);
    ConnectOutputs(connected, OutputCount() - connected, false);
  }
  return 1;
}
