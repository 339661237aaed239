// MIDI from the host, and the host's question for the names of MIDI notes.
#include "vst/IEffectVST.h"

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
