#include "editor/IIdleTicker.h"

#include <chrono>

IIdleTicker::IIdleTicker(int32_t fps) : periodMs(1000 / (fps > 0 ? fps : 24)) {}

bool IIdleTicker::Due(int64_t nowMs) {
  if (!started) {
    started = true;
    lastTick = nowMs;
    return true;
  }
  const int64_t since = nowMs - lastTick;
  if (since < periodMs) return false;
  lastTick = since < 2 * periodMs ? lastTick + periodMs : nowMs;
  return true;
}

int64_t MonotonicMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
