#include "editor/IKnobGeometry.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;
}  // namespace

double KnobAngle(int32_t sweepDegrees, double value) {
  const float halfSweep = static_cast<float>(sweepDegrees * kPi / 360);
  return halfSweep * value * 2.0 + static_cast<float>(-sweepDegrees * kPi / 360);
}

float KnobSourceOffset(double value) { return -static_cast<float>(std::fabs(value - 0.5) * 2.0); }

float KnobImageSourceOffset(double value) {
  return -static_cast<float>(std::sin(std::fabs(value - 0.5) * 4.319689898685965));
}

double ArcStartAngle(int32_t sweepDegrees) {
  return -(sweepDegrees - sweepDegrees / 75) * kPi / 360;
}

double ArcEndAngle(int32_t sweepDegrees, double value) {
  return ((value - 1) / 75 + 1) * sweepDegrees * (value - 0.5) * kPi / 180;
}

double ImageArcStartAngle(int32_t sweepDegrees) {
  return -(sweepDegrees - sweepDegrees / 50) * kPi / 360;
}

double ImageArcEndAngle(int32_t sweepDegrees, double value) {
  return ((value - 1) * 0.02 + 1) * sweepDegrees * (value - 0.5) * kPi / 180;
}
