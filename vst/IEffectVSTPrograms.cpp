// Programs and state for the host: selecting, renaming and naming programs,
// and the program and bank chunks.
#include <cstdint>
#include <limits>

#include "framework/TextCopy.h"
#include "platform/SaturatingConversions.h"
#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

// Program requests: select, rename and name lookups.
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

// State chunks for the host: index 0 is the whole bank, any other index the
// current program. The bytes handed out stay valid until the next request of
// the same kind or until the plug-in is closed.
intptr_t IEffectVST::GetChunk(int32_t index, void** destination) {
  if (!destination) return 0;
  const bool isBank = index == 0;
  IStateBuffer& chunk = isBank ? bankChunk : programChunk;
  const bool written = isBank ? WriteBankChunk(chunk) : WriteProgramChunk(chunk);
  if (!written || chunk.Size() <= 0) return 0;
  *destination = chunk.Data();
  return chunk.Size();
}

intptr_t IEffectVST::SetChunk(int32_t index, intptr_t size, const void* bytes) {
  if (!bytes) return 0;
  // Sizes the 32-bit chunk buffer cannot hold are refused before anything is
  // touched, as are negative ones.
  if (size < 0 || size > std::numeric_limits<int32_t>::max()) return 0;
  const bool isBank = index == 0;
  IStateBuffer& chunk = isBank ? bankChunk : programChunk;
  return ReadChunkFromHost(chunk, bytes, static_cast<int64_t>(size), isBank) ? 1 : 0;
}
