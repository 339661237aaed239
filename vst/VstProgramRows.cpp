// Program requests: select, rename and name lookups.
#include "framework/SaturatingConversions.h"
#include "framework/TextCopy.h"
#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

intptr_t IEffectVST::DispatchPrograms(int32_t opcode, int32_t index, intptr_t value, void* ptr) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effSetProgram:
      // Edits since the last change stay with the program being left.
      StoreIntoCurrentPreset(nullptr);
      SelectPreset(SaturateToInt32(value));
      return 0;
    case effGetProgram:
      return CurrentPresetIndex();
    case effSetProgramName:
      if (text) StoreIntoCurrentPreset(text);
      return 0;
    case effGetProgramName:
      if (text) CopyTextBounded(text, kProgramNameBytes, PresetName(CurrentPresetIndex()));
      return 0;
    case effGetProgramNameIndexed:
      return ProgramNameIndexed(index, text);
    default:
      return 0;
  }
}

intptr_t IEffectVST::ProgramNameIndexed(int32_t index, char* text) {
  if (!text) return 0;
  CopyTextBounded(text, kProgramNameBytes, PresetName(index));
  return text[0] != '\0' ? 1 : 0;
}
