#include "vst3/Vst3ClassIds.h"

#include <cctype>
#include <cstring>

void MakeVst3ClassId(uint32_t prefix, int32_t vst2UniqueId, const char* name, Steinberg::TUID out) {
  uint8_t digits[16] = {};
  digits[0] = static_cast<uint8_t>(prefix >> 16);
  digits[1] = static_cast<uint8_t>(prefix >> 8);
  digits[2] = static_cast<uint8_t>(prefix);
  const auto id = static_cast<uint32_t>(vst2UniqueId);
  for (int i = 0; i < 4; ++i) digits[3 + i] = static_cast<uint8_t>(id >> (24 - 8 * i));
  for (size_t i = 0; i < 9 && name && name[i] != '\0'; ++i) {
    digits[7 + i] = static_cast<uint8_t>(std::tolower(static_cast<unsigned char>(name[i])));
  }
  uint32_t longs[4];
  for (int l = 0; l < 4; ++l) {
    longs[l] = static_cast<uint32_t>(digits[4 * l]) << 24 |
               static_cast<uint32_t>(digits[4 * l + 1]) << 16 |
               static_cast<uint32_t>(digits[4 * l + 2]) << 8 | digits[4 * l + 3];
  }
  const Steinberg::TUID uid = INLINE_UID(longs[0], longs[1], longs[2], longs[3]);
  std::memcpy(out, uid, sizeof(Steinberg::TUID));
}
