// The audio side of the binding: the audio callbacks, the channels the host
// connects (pins and speaker arrangements) and the MIDI events it sends.
#include <algorithm>
#include <cstdio>

#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

// The three audio callbacks: route the host's buffers into the base's
// double-precision channel arrays and run one block, all under the lock.
void IEffectVST::ProcessSingle(float** inputs, float** outputs, int32_t frames, bool adding) {
  PluginLockGuard guard(lock);
  if (midiFlags != 0) CallHost(audioMasterWantMidi, 0, 1);
  if (frames <= 0) return;
  RouteInputsSingle(0, InputCount(), inputs, frames);
  RouteOutputsSingle(0, OutputCount(), outputs);
  if (adding)
    RunBlockSingleAdding(frames);
  else
    RunBlockSingleReplacing(frames);
}

void IEffectVST::ProcessDouble(double** inputs, double** outputs, int32_t frames) {
  PluginLockGuard guard(lock);
  if (midiFlags != 0) CallHost(audioMasterWantMidi, 0, 1);
  if (frames <= 0) return;
  RouteInputsDouble(0, InputCount(), inputs);
  RouteOutputsDouble(0, OutputCount(), outputs);
  RunBlockDouble(frames);
}

// Pins and speaker arrangements. Every index and channel count from the host
// is checked against the channel records before it is used.
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

// MIDI from the host, and the host's question for the names of MIDI notes.
namespace {

IShortMidi ShortMidiOf(const VstMidiEvent& event) {
  IShortMidi message{};
  message.sampleOffset = event.deltaFrames;
  message.status = static_cast<uint8_t>(event.midiData[0]);
  message.data1 = static_cast<uint8_t>(event.midiData[1]);
  message.data2 = static_cast<uint8_t>(event.midiData[2]);
  return message;
}

ISysExBlock SysExBlockOf(const VstMidiSysexEvent& event) {
  ISysExBlock message{};
  message.sampleOffset = event.deltaFrames;
  message.size = event.dumpBytes;
  message.bytes = reinterpret_cast<const uint8_t*>(event.sysexDump);
  return message;
}

}  // namespace

intptr_t IEffectVST::ProcessEvents(const VstEvents* events) {
  if (!events) return 0;
  // Hosts allocate the list longer than the two entries the record declares.
  const VstEvent* const* list = events->events;
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == kVstMidiType)
      MidiMessageReceived(ShortMidiOf(*reinterpret_cast<const VstMidiEvent*>(event)));
    else if (event->type == kVstSysExType)
      SysExReceived(SysExBlockOf(*reinterpret_cast<const VstMidiSysexEvent*>(event)));
  }
  return 1;
}

intptr_t IEffectVST::MidiKeyNameOf(MidiKeyName* key) {
  if (!key) return 0;
  key->keyName[0] = '\0';
  if (!MidiNoteName(key->thisKeyNumber, key->keyName)) return 0;
  // A name that fills the whole field still reaches the host terminated; the
  // rest of the host's record is left as the host wrote it otherwise.
  key->keyName[sizeof key->keyName - 1] = '\0';
  return 1;
}
