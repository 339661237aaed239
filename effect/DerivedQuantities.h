// Turns one parameter's stored value into the quantities the processor reads.
#pragma once

#include <cstdint>

#include "effect/TwoBandProcessor.h"

// Rounds value to the integer the formulas start from and writes the fields
// that belong to parameter index (0 to 8; other indices change nothing).
// Split frequency and damping also recompute the crossover coefficients.
void ApplyParameterToProcessor(int32_t index, double value, TwoBandProcessor& processor);
