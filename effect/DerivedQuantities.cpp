#include "effect/DerivedQuantities.h"

#include "effect/ParameterMapping.h"

namespace {

// Drive and gain each keep their own factor, and the band gain is always
// formed from both, so the order in which they change does not matter.
void ApplyDrive(float m, TwoBandProcessor::Band& band) {
  band.drive = DriveFromPercent(m);
  band.driveComp = DriveCompensationFromPercent(m);
  band.gain = band.driveComp * band.level;
}

void ApplyLevel(int32_t n, float m, TwoBandProcessor::Band& band) {
  band.level = LevelFromPercent(n, m);
  band.gain = band.driveComp * band.level;
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
      ApplyDrive(m, p.low);
      break;
    case kLowGain:
      ApplyLevel(n, m, p.low);
      break;
    case kLowRound:
      p.low.round = RoundFromPercent(m);
      break;
    case kHighDrive:
      ApplyDrive(m, p.high);
      break;
    case kHighGain:
      ApplyLevel(n, m, p.high);
      break;
    case kHighRound:
      p.high.round = RoundFromPercent(m);
      break;
    case kMix:
      p.wetLevel = WetLevelFromPercent(m);
      p.dryLevel = DryLevelFromWet(p.wetLevel);
      break;
    default:
      break;
  }
}
