#include "raster/RArc.h"

#include "platform/SaturatingConversions.h"
#include "raster/RCircle.h"
#include "raster/RGeometryLimits.h"
#include "raster/RPixelView.h"
#include "raster/RWeight.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Single-precision values of pi, pi/2 and 2 pi, also in double arithmetic.
constexpr float kPi = 3.1415927f;
constexpr double kHalfPi = 1.5707963705062866;
constexpr double kTwoPi = 6.2831854820251465;
constexpr float kTwoPiF = static_cast<float>(kTwoPi);

struct ScreenPoint {
  int32_t x, y;
};

// Angle 0 points up, angles grow clockwise.
ScreenPoint PointAt(float cx, float cy, float radius, double angle) {
  return {TruncateToInt32(cx + radius * std::sin(angle) + 0.5),
          TruncateToInt32(cy - radius * std::cos(angle) + 0.5)};
}

// Within a quarter turn the arc is monotonic in x and y, so the rectangle
// its end points span holds exactly that piece of the outline; the far side
// gets a pixel of room unless it lies on the centre line.
RRect QuarterClip(ScreenPoint a, ScreenPoint b, float cx, float cy, int32_t width, int32_t height) {
  const int32_t maxX = std::max(a.x, b.x), maxY = std::max(a.y, b.y);
  const int64_t right = int64_t{maxX} + 1 + (static_cast<float>(maxX) == cx ? 0 : 1);
  const int64_t bottom = int64_t{maxY} + 1 + (static_cast<float>(maxY) == cy ? 0 : 1);
  return {std::max(std::min(a.x, b.x), 0), std::max(std::min(a.y, b.y), 0),
          static_cast<int32_t>(std::min<int64_t>(width, right)),
          static_cast<int32_t>(std::min<int64_t>(height, bottom))};
}

// Moves both angles by whole turns toward the first turn, keeping their
// difference.
void BringNearFirstTurn(float& angle1, float& angle2) {
  if (angle2 >= kTwoPiF) {
    const float reduced = std::fmod(angle2, kTwoPiF);
    angle1 -= angle2 - reduced;
    angle2 = reduced;
  } else if (angle1 <= -kTwoPiF) {
    const float reduced = std::fmod(angle1, kTwoPiF);
    angle2 -= angle1 - reduced;
    angle1 = reduced;
  }
}

}  // namespace

void Raster_DrawArc(RBitmap* dst, float cx, float cy, float radius, float angle1, float angle2,
                    uint32_t colour, float opacity, RBlendMode mode, bool antialias) {
  if (!dst) return;
  const RPixelView view = RPixelView::Of(dst);
  if (!view.Usable()) return;
  for (float v : {cx, cy, radius}) {
    if (!Raster_IsDrawableCoordinate(v)) return;
  }
  // Angles of any size are fine (a span of a turn or more is the circle, a
  // shorter one is brought near the first turn), but NaN has no place.
  if (std::isnan(angle1) || std::isnan(angle2)) return;
  const float givenCy = cy;
  if (view.bottomUp) {
    angle1 = kPi - angle1;
    angle2 = kPi - angle2;
    cy = static_cast<float>(view.height - 1) - cy;
  }
  if (angle2 < angle1) std::swap(angle1, angle2);
  if (angle2 - angle1 >= kTwoPiF) {
    Raster_DrawCircle(dst, cx, givenCy, radius, colour, opacity, mode, antialias);
    return;
  }
  BringNearFirstTurn(angle1, angle2);
  // Both at the same infinity: no span and no position on the circle.
  if (!std::isfinite(angle1) || !std::isfinite(angle2)) return;
  const int32_t w = Raster_Weight(opacity);
  if (w == 0) return;

  const double start = angle1 + kTwoPi, end = angle2 + kTwoPi;
  if (start >= end) return;
  double boundary = start - std::fmod(start, kHalfPi);
  ScreenPoint from = PointAt(cx, cy, radius, start);
  do {
    boundary = std::min(boundary + kHalfPi, end);
    const ScreenPoint to = PointAt(cx, cy, radius, boundary);
    Raster_CircleOutline(dst, cx, cy, radius, colour, w, antialias, mode,
                         QuarterClip(from, to, cx, cy, view.width, view.height), true);
    from = to;
  } while (boundary < end);
}
