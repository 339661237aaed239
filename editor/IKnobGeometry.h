// Angles and source offsets of the knob paints, apart from the drawing so
// they can be checked as tables. Angles are radians, 0 pointing up and
// growing clockwise, as the editor's rotated blit and arc take them.
#pragma once

#include <cstdint>

// The rotation of a knob image: -sweep/2 at value 0, 0 at 0.5, +sweep/2 at
// 1. The half sweep is kept in single precision, the sum in double.
double KnobAngle(int32_t sweepDegrees, double value);

// Where the rotated knob image samples its source: 0 at the centre value,
// -1 at either end, which shifts the image's bilinear sampling by up to a
// pixel and so lets the knob cap's shading shimmer as it turns.
float KnobSourceOffset(double value);
// The same for the two-frame knob, along a sine: 0 at the centre value,
// sin(11*pi/16) from it at either end.
float KnobImageSourceOffset(double value);

// The value arc of the arc knob: it starts sweep/75 short of -sweep/2 and
// ends at +sweep/2 at value 1; at value 0 start and end coincide.
double ArcStartAngle(int32_t sweepDegrees);
double ArcEndAngle(int32_t sweepDegrees, double value);
// The arc of the two-frame knob image, with 50 in place of 75.
double ImageArcStartAngle(int32_t sweepDegrees);
double ImageArcEndAngle(int32_t sweepDegrees, double value);
