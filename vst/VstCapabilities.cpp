// effCanDo: the capability texts the plug-in answers, compared whole.
#include <cstring>

#include "vst/IEffectVST.h"

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
