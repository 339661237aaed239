#include "editor/IGestureMath.h"

double KnobDragValue(double value, int32_t dX, int32_t dY, const IBounds& rect, double gearing,
                     IDragDirection direction, bool fine) {
  const double g = fine ? gearing * 10.0 : gearing;
  if (direction == IDragDirection::Vertical) {
    return value + static_cast<double>(dY) / (rect.T - rect.B) / g;
  }
  return value + static_cast<double>(dX) / (rect.R - rect.L) / g;
}

double WheelValue(double value, int32_t notches, bool fine) {
  return value + notches * (fine ? 0.001 : 0.01);
}

double SliderValueAt(double value, int32_t x, int32_t y, const IBounds& track, int32_t handleW,
                     int32_t handleH, int32_t travel, bool vertical) {
  // A handle as long as its track has nowhere to go; dividing by the zero
  // travel would hand the plug-in a NaN or an infinity.
  if (travel <= 0) return value;
  if (vertical) {
    const float offset = static_cast<float>(y - track.T) - static_cast<float>(handleH) * 0.5f;
    return 1.0 - static_cast<double>(offset) / travel;
  }
  const float offset = static_cast<float>(x - track.L) - static_cast<float>(handleW) * 0.5f;
  return static_cast<double>(offset) / travel;
}
