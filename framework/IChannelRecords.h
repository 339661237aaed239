// The supported channel layouts and the per-channel routing records that turn
// the host's buffers into the effect's double-precision channel pointers.
#pragma once

#include <cstdint>

#include "framework/IGrowableBuffer.h"

struct IChannelConfig {
  int32_t inputCount = 0;
  int32_t outputCount = 0;
  bool operator==(const IChannelConfig&) const = default;
};

struct IInputChannel {
  bool connected = false;
  double** slot = nullptr;            // this channel's entry of the input pointer array
  IGrowableBuffer scratch{4096};      // doubles: converted input, or silence while unconnected
  const float* hostSingle = nullptr;  // the host's samples of the current single-precision block
  double* hostDouble = nullptr;       // the host's samples of the current double-precision block
};

struct IOutputChannel {
  bool connected = false;
  double** slot = nullptr;
  float* hostDestination = nullptr;  // host buffer of the current single-precision block
  IGrowableBuffer scratch{
      4096};  // doubles the effect writes on the single path or while unconnected
  double* hostDouble = nullptr;  // host buffer of the current double-precision block
};
