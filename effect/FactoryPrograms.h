// The programs the effect ships with, in slot order after the default one.
#pragma once

#include <cstdint>

#include "effect/ParameterMapping.h"

class IEffectBase;

struct FactoryProgram {
  const char* name;
  // Split Freq in Hz, then Damping, Low Drive, Low Gain, Low Round, High
  // Drive, High Gain, High Round and Mix in percent.
  int32_t values[kEffectParameterCount];
};

inline constexpr int32_t kFactoryProgramCount = 13;
extern const FactoryProgram kFactoryPrograms[kFactoryProgramCount];

inline constexpr const char* kDefaultProgramName = "---- default ----";

// Fills the first free slot with the current (default) values under
// kDefaultProgramName, then one slot per factory program in table order.
void InstallFactoryPrograms(IEffectBase& effect);
