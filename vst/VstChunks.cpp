// State chunks for the host: index 0 is the whole bank, any other index the
// current program. The bytes handed out stay valid until the next request of
// the same kind or until the plug-in is closed.
#include <cstdint>
#include <limits>

#include "vst/IEffectVST.h"

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
