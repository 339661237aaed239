// Paces the editor's repaint tick where the host's idle calls drive it
// instead of a timer (VST 2.4 on X11: effEditIdle, which hosts send at rates
// of their own, from 10 to well over 100 a second). A call runs at most one
// tick, and only once a period has passed on a monotonic clock, so a host
// that idles faster does not speed the editor up, and one that stops idling
// stops the ticks. Ticks keep the period on average when the calls come at
// odd intervals; after a pause of two periods or more the next call ticks
// once and the pace starts afresh, with no burst of catch-up ticks.
// [GUI thread]
#pragma once

#include <cstdint>

class IIdleTicker {
 public:
  // fps 0 or less gives 24 ticks a second; the period is truncated to whole
  // milliseconds as the Windows timer's (41 ms at 24).
  explicit IIdleTicker(int32_t fps);

  int64_t PeriodMs() const { return periodMs; }
  // The first call after a restart ticks at once.
  void Restart() { started = false; }
  // nowMs: a monotonic clock in milliseconds. True when a tick is due.
  bool Due(int64_t nowMs);

 private:
  int64_t periodMs;
  int64_t lastTick = 0;
  bool started = false;
};

// The monotonic clock Due expects.
int64_t MonotonicMilliseconds();
