// One program slot: whether it holds a program, its name and the parameter
// values block of that program.
#pragma once

#include <cstdint>

#include "framework/IStateBuffer.h"

struct IPresetSlot {
  static constexpr int32_t kNameCapacity = 256;  // 255 characters and the NUL

  // Copies at most 255 bytes of text (null counts as empty), NUL-terminated.
  void SetName(const char* text);

  bool initialized = false;
  char name[kNameCapacity] = {};
  IStateBuffer chunk;
};
