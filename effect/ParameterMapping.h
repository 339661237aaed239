// From the integer value of a parameter to the single-precision quantities
// the shaper reads. Every formula is evaluated in single precision in a fixed
// order, because stored programs must sound bit-identical wherever they are
// played back.
#pragma once

#include <cstdint>

#include "platform/SaturatingConversions.h"

// The nine parameters in index order.
enum EffectParameter : int32_t {
  kSplitFreq = 0,
  kDamping = 1,
  kLowDrive = 2,
  kLowGain = 3,
  kLowRound = 4,
  kHighDrive = 5,
  kHighGain = 6,
  kHighRound = 7,
  kMix = 8,
  kEffectParameterCount = 9
};

// The effect rounds half away from zero everywhere: RoundHalfAwayFromZero.

// Inverse of the crossover's Q: 6.0 at 0 % down to 0.04 at 100 %.
float DampingFromPercent(float m);
// Shaper drive k: 0.857 at 0 % up to about 1998 at 100 %.
float DriveFromPercent(float m);
// Lowers the band's gain as drive rises: 0.55 at 0 % to 0.11 at 100 %.
float DriveCompensationFromPercent(float m);
// 0.2 to 1.0 in steps of 0.04 below 20 %, then 0.05 per step up to 5.0.
float LevelFromPercent(int32_t n, float m);
// One-pole smoothing coefficient: -0.96 at 0 % to 0.98 at 100 %.
float RoundFromPercent(float m);
// Share of the shaped signal in the output.
float WetLevelFromPercent(float m);
// The dry share, always formed from the wet one.
float DryLevelFromWet(float wet);
