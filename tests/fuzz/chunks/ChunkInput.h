// The layout of one fuzz input and the host requests it turns into, shared by
// the fuzz target and the seed corpus writer.
//
// Byte 0 chooses the path: bit 0 set means a bank chunk (index 0), clear a
// program chunk (index 1); bits 2–6 name a program the host selects before
// handing over the chunk (25 and above are out of range and refused). The
// remaining bytes are the chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effect/DuoManglerEffect.h"

namespace chunkfuzz {

inline constexpr uint8_t kBankBit = 0x01;

inline uint8_t Selector(bool bank, int32_t programFirst) {
  return static_cast<uint8_t>((bank ? kBankBit : 0) | ((programFirst & 0x1F) << 2));
}

inline intptr_t Dispatch(VSTCLASS& effect, int32_t opcode, int32_t index, intptr_t value,
                         void* ptr) {
  AEffect* record = effect.Effect();
  return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
}

// The chunk the host would save: 0 index for the bank, 1 for a program.
inline std::vector<uint8_t> GetChunk(VSTCLASS& effect, bool bank) {
  void* bytes = nullptr;
  const intptr_t length = Dispatch(effect, effGetChunk, bank ? 0 : 1, 0, &bytes);
  if (length <= 0 || !bytes) return {};
  const auto* first = static_cast<const uint8_t*>(bytes);
  return std::vector<uint8_t>(first, first + length);
}

inline bool SetChunk(VSTCLASS& effect, bool bank, const uint8_t* bytes, size_t size) {
  return Dispatch(effect, effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(size),
                  const_cast<uint8_t*>(bytes)) == 1;
}

}  // namespace chunkfuzz
