// One program slot: whether it holds a program, its name and the parameter
// values block of that program.
#pragma once

#include <cstdint>

#include "framework/IStateBuffer.h"

struct IPresetSlot {
  static constexpr int32_t kNameCapacity = 256;  // 255 characters and the NUL

  // Copies at most 255 bytes of text (null counts as empty), NUL-terminated.
  void SetName(const char* text);

  // Makes the slot a program named programName whose values write appends
  // to the emptied chunk (write returns false when it could not). A failed
  // write leaves the slot uninitialised and empty, so it never claims a
  // program it cannot give back.
  template <typename Write>
  bool Fill(const char* programName, Write write) {
    SetName(programName);
    chunk.Empty();
    initialized = write(chunk);
    if (!initialized) chunk.Clear();
    return initialized;
  }

  bool initialized = false;
  char name[kNameCapacity] = {};
  IStateBuffer chunk;
};
