#include "effect/DerivedQuantities.h"

#include "effect/ParameterMapping.h"

namespace {

// Drive and gain each keep their own factor, and the band gain is always
// formed from both, so the order in which they change does not matter.
void ApplyDrive(float m, float& drive, float& driveComp, float level, float& gain) {
  drive = DriveFromPercent(m);
  driveComp = DriveCompensationFromPercent(m);
  gain = driveComp * level;
}

void ApplyLevel(int32_t n, float m, float& level, float driveComp, float& gain) {
  level = LevelFromPercent(n, m);
  gain = driveComp * level;
}

}  // namespace

void ApplyParameterToProcessor(int32_t index, double value, TwoBandProcessor& p) {
  const int32_t n = RoundHalfAwayFromZero(value);
  const float m = static_cast<float>(n);
  switch (index) {
    case kSplitFreq:
      p.splitFrequency = static_cast<uint16_t>(n);
      p.UpdateFilterCoefficients();
      break;
    case kDamping:
      p.damping = DampingFromPercent(m);
      p.UpdateFilterCoefficients();
      break;
    case kLowDrive:
      ApplyDrive(m, p.driveLow, p.driveCompLow, p.levelLow, p.gainLow);
      break;
    case kLowGain:
      ApplyLevel(n, m, p.levelLow, p.driveCompLow, p.gainLow);
      break;
    case kLowRound:
      p.roundLow = RoundFromPercent(m);
      break;
    case kHighDrive:
      ApplyDrive(m, p.driveHigh, p.driveCompHigh, p.levelHigh, p.gainHigh);
      break;
    case kHighGain:
      ApplyLevel(n, m, p.levelHigh, p.driveCompHigh, p.gainHigh);
      break;
    case kHighRound:
      p.roundHigh = RoundFromPercent(m);
      break;
    case kMix:
      p.wetLevel = WetLevelFromPercent(m);
      p.dryLevel = DryLevelFromWet(p.wetLevel);
      break;
    default:
      break;
  }
}
