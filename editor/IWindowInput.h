// Native input turned into the editor's terms, kept apart from the window
// code so the arithmetic is the same and testable on every platform.
#pragma once

#include <cstdint>

#include "editor/IBounds.h"

class IControl;
class IParameter;

// Gathers wheel deltas into whole notches of 120. High-resolution wheels and
// touchpads send smaller deltas; those add up instead of being lost, and a
// message that completes no notch yields none (so no gesture is opened for
// it). A turn in the other direction starts afresh.
class IWheelAccumulator {
 public:
  static constexpr int32_t kDeltaPerNotch = 120;

  // Adds one message's delta; returns the whole notches now complete.
  int32_t Add(int32_t delta);
  void Reset() { remainder = 0; }

 private:
  int32_t remainder = 0;
};

// Tells a double-click from two clicks where the window system reports only
// presses (X11): a second press of the same button within Windows' default
// double-click time (500 ms) and its double-click rectangle (4 x 4 pixels
// around the first press) is a double-click. The press after a double-click
// starts afresh, as on Windows.
class IDoubleClickDetector {
 public:
  static constexpr uint32_t kTimeMs = 500;
  static constexpr int32_t kReach = 2;  // pixels either way

  // timeMs is the window system's event time (wrapping 32-bit
  // milliseconds). True when this press completes a double-click.
  bool Press(int32_t button, int32_t x, int32_t y, uint32_t timeMs);
  void Reset() { pending = false; }

 private:
  bool pending = false;
  int32_t lastButton = 0;
  int32_t lastX = 0;
  int32_t lastY = 0;
  uint32_t lastTime = 0;
};

// Where a window puts the field for typing a parameter's value: centred on
// the control, as wide as the parameter's longest value (its maximum's text)
// at 7 pixels a character plus 6, at least 32, and 16 high.
IBounds ParameterEntryArea(const IControl& control, const IParameter& parameter);
