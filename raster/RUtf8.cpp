#include "raster/RUtf8.h"

#include <cstring>

namespace {

bool IsContinuation(const unsigned char* b, size_t available, size_t index) {
  return index < available && (b[index] & 0xC0) == 0x80;
}

bool Continues(const unsigned char* b, size_t available, size_t count) {
  for (size_t i = 1; i <= count; ++i) {
    if (!IsContinuation(b, available, i)) return false;
  }
  return true;
}

}  // namespace

int32_t Raster_DecodeUtf8(const char* bytes, size_t available, uint16_t* code) {
  if (available == 0) {
    *code = 0;
    return 0;
  }
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  const unsigned a = b[0];
  if (a >= 0xC2 && a <= 0xDF && Continues(b, available, 1)) {
    *code = static_cast<uint16_t>(((a << 6) & 0x7FF) | (b[1] & 0x3F));
    return 2;
  }
  if (a >= 0xE0 && a <= 0xEF && Continues(b, available, 2)) {
    *code = static_cast<uint16_t>(((a & 0xF) << 12) | ((b[1] & 0x3F) << 6) | (b[2] & 0x3F));
    return 3;
  }
  if (a >= 0xF0 && a <= 0xF4 && Continues(b, available, 3)) {
    *code = 32;
    return 4;
  }
  *code = static_cast<uint16_t>(a);
  return 1;
}

// A zero byte is never a continuation, so decoding stops at the terminator.
int32_t Raster_DecodeUtf8(const char* bytes, uint16_t* code) {
  return Raster_DecodeUtf8(bytes, SIZE_MAX, code);
}

bool Raster_HasUtf8Sequences(const char* text, size_t length) {
  const auto* b = reinterpret_cast<const unsigned char*>(text);
  for (size_t i = 0; i < length; ++i) {
    const unsigned a = b[i];
    const size_t rest = length - i;
    if (a >= 0xC2 && a <= 0xDF && Continues(b + i, rest, 1)) return true;
    if (a >= 0xE0 && a <= 0xF4 && Continues(b + i, rest, 2)) return true;
  }
  return false;
}

bool Raster_HasUtf8Sequences(const char* text) {
  return Raster_HasUtf8Sequences(text, std::strlen(text));
}
