// MIDI messages passed between the format binding and the plug-in base.
#pragma once

#include <cstdint>

struct IShortMidi {
  int32_t sampleOffset;
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};

// The bytes are the sender's; the record does not own them.
struct ISysExBlock {
  int32_t sampleOffset;
  int32_t size;
  const uint8_t* bytes;
};
