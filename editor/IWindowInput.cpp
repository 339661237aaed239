#include "editor/IWindowInput.h"

#include <algorithm>
#include <cstring>

#include "editor/IControl.h"
#include "framework/IParameter.h"

int32_t IWheelAccumulator::Add(int32_t delta) {
  if ((delta > 0 && remainder < 0) || (delta < 0 && remainder > 0)) remainder = 0;
  // Wide enough for any sum of two 16-bit deltas.
  const int64_t total = static_cast<int64_t>(remainder) + delta;
  const int64_t notches = total / kDeltaPerNotch;  // towards zero
  remainder = static_cast<int32_t>(total - notches * kDeltaPerNotch);
  return static_cast<int32_t>(notches);
}

bool IDoubleClickDetector::Press(int32_t button, int32_t x, int32_t y, uint32_t timeMs) {
  const bool isDouble = pending && button == lastButton && timeMs - lastTime <= kTimeMs &&
                        x - lastX <= kReach && lastX - x <= kReach && y - lastY <= kReach &&
                        lastY - y <= kReach;
  pending = !isDouble;
  lastButton = button;
  lastX = x;
  lastY = y;
  lastTime = timeMs;
  return isDouble;
}

IBounds ParameterEntryArea(const IControl& control, const IParameter& parameter) {
  constexpr int32_t kFieldHeight = 16;
  const int32_t cx = static_cast<int32_t>((control.rect.L + control.rect.R) * 0.5f);
  const int32_t cy = static_cast<int32_t>((control.rect.T + control.rect.B) * 0.5f);
  char widest[64];
  parameter.FormatValue(parameter.max, false, widest, sizeof widest);
  const int32_t width = std::max(32, 7 * static_cast<int32_t>(std::strlen(widest)) + 6);
  const int32_t left = cx - width / 2;
  const int32_t top = cy - kFieldHeight / 2;
  return IBounds{left, top, left + width, top + kFieldHeight};
}
