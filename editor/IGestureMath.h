// The arithmetic of the mouse gestures, apart from any drawing, so the
// gearing, fine mode, wheel steps and slider positions can be checked as
// tables. Every result is the control's new value before clamping.
#pragma once

#include <cstdint>

#include "editor/IBounds.h"

enum class IDragDirection : int32_t { Vertical = 0, Horizontal = 1 };

// A knob drag step: moving by the control's height (or width) changes the
// value by 1 / gearing, upwards (or rightwards) raising it; fine mode
// gears ten times finer.
double KnobDragValue(double value, int32_t dX, int32_t dY, const IBounds& rect, double gearing,
                     IDragDirection direction, bool fine);

// A wheel turn: 0.01 per notch, 0.001 in fine mode.
double WheelValue(double value, int32_t notches, bool fine);

// The value of a slider position in its track: the handle's centre at the
// start of the track is 0 (the bottom for a vertical slider), at the end 1.
// The offset from the track is taken in single precision, the division in
// double. A track with no travel keeps the value.
double SliderValueAt(double value, int32_t x, int32_t y, const IBounds& track, int32_t handleW,
                     int32_t handleH, int32_t travel, bool vertical);
