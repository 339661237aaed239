#include "raster/RLine.h"

#include "raster/RPlotter.h"
#include "raster/RWeight.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

using RPixel::Half;
using RPixel::Quarter;

struct Point {
  int32_t x, y;
};

// Horizontal and vertical runs: the exact opacities of Copy work on whole
// words, then the weight picks a plain write, the byte average or the plot.
template <typename Paint>
void DrawRun(Point from, Point step, int32_t count, Paint paint) {
  for (int32_t i = 0; i < count; ++i) paint(from.x + step.x * i, from.y + step.y * i);
}

template <typename Visit>
void WithStraightPainter(const RPlotter& p, float opacity, int32_t w, Visit visit) {
  const uint32_t c = p.colour;
  const bool isCopy = p.isCopy;
  if (isCopy && opacity == 0.5f) {
    return visit(
        [&](int32_t x, int32_t y) { p.Word(x, y, [&](uint32_t d) { return Half(c) + Half(d); }); });
  }
  if (isCopy && opacity == 0.25f) {
    return visit([&](int32_t x, int32_t y) {
      p.Word(x, y, [&](uint32_t d) { return Half(d) + Quarter(c) + Quarter(d); });
    });
  }
  if (isCopy && opacity == 0.75f) {
    return visit([&](int32_t x, int32_t y) {
      p.Word(x, y, [&](uint32_t d) { return Half(c) + Quarter(c) + Quarter(d); });
    });
  }
  p.WithPlainPainter(w, visit);
}

void DrawStraight(const RPlotter& p, Point a, Point b, float opacity, int32_t w) {
  Point from = a, step{1, 0};
  int32_t count;
  if (a.y == b.y) {
    from.x = std::min(a.x, b.x);
    count = std::abs(b.x - a.x) + 1;
  } else {
    from.y = std::min(a.y, b.y), step = {0, 1};
    count = std::abs(b.y - a.y) + 1;
  }
  WithStraightPainter(p, opacity, w, [&](auto paint) { DrawRun(from, step, count, paint); });
}

void DrawDiagonalPlain(const RPlotter& p, Point a, Point step, int32_t n, int32_t w) {
  p.WithPlainPainter(w, [&](auto paint) { DrawRun(a, step, n + 1, paint); });
}

// Each diagonal pixel at three quarters, the two pixels filling each step at
// a quarter.
void DrawDiagonalSmooth(const RPlotter& p, Point a, Point step, int32_t n, float opacity,
                        int32_t w) {
  const uint32_t c = p.colour;
  const bool words = p.isCopy && opacity == 1.0f;
  const auto main = [&](int32_t x, int32_t y) {
    if (words) {
      p.Word(x, y, [&](uint32_t d) { return Half(c) + Quarter(c) + Quarter(d); });
    } else {
      p.Plot(x, y, w * 3 / 4);
    }
  };
  const auto filler = [&](int32_t x, int32_t y) {
    if (words) {
      p.Word(x, y, [&](uint32_t d) { return Half(d) + Quarter(c) + Quarter(d); });
    } else {
      p.Plot(x, y, w / 4);
    }
  };
  Point at = a;
  for (int32_t i = 0; i < n; ++i, at.x += step.x, at.y += step.y) {
    main(at.x, at.y);
    filler(at.x + step.x, at.y);
    filler(at.x, at.y + step.y);
  }
  main(at.x, at.y);
}

// A line stepped along its major axis from both ends toward the middle.
struct MajorWalk {
  Point forward, backward;
  Point major;     // unit step along the major axis
  Point minor;     // unit step along the minor axis, toward B
  int32_t length;  // |major delta|
  int32_t slope;   // |minor delta| / length in 16.16

  void StepMajor() {
    forward.x += major.x, forward.y += major.y;
    backward.x -= major.x, backward.y -= major.y;
  }
  void StepMinor() {
    forward.x += minor.x, forward.y += minor.y;
    backward.x -= minor.x, backward.y -= minor.y;
  }
};

MajorWalk MakeWalk(Point a, Point b) {
  const bool xMajor = std::abs(b.x - a.x) > std::abs(b.y - a.y);
  if ((xMajor ? b.x - a.x : b.y - a.y) < 0) std::swap(a, b);
  const int32_t majorDelta = xMajor ? b.x - a.x : b.y - a.y;
  const int32_t minorDelta = xMajor ? b.y - a.y : b.x - a.x;
  const int32_t sign = minorDelta < 0 ? -1 : 1;
  MajorWalk walk;
  walk.forward = a, walk.backward = b;
  walk.major = xMajor ? Point{1, 0} : Point{0, 1};
  walk.minor = xMajor ? Point{0, sign} : Point{sign, 0};
  walk.length = majorDelta;
  // Exact truncation of |minor| / length x 65536.
  walk.slope = static_cast<int32_t>((int64_t{std::abs(minorDelta)} << 16) / majorDelta);
  return walk;
}

void DrawGeneralPlain(const RPlotter& p, MajorWalk walk, int32_t w) {
  p.WithPlainPainter(w, [&](auto paint) {
    int32_t accumulator = 0;
    for (int32_t i = 0; i < (walk.length + 1) / 2; ++i) {
      paint(walk.forward.x, walk.forward.y);
      paint(walk.backward.x, walk.backward.y);
      accumulator += walk.slope;
      if (accumulator >= 0x8000) {
        accumulator -= 0x10000;
        walk.StepMinor();
      }
      walk.StepMajor();
    }
    if (walk.length % 2 == 0) paint(walk.forward.x, walk.forward.y);
  });
}

// Two pixels per step across the minor axis, sharing the coverage t / 255.
void DrawGeneralSmooth(const RPlotter& p, MajorWalk walk, int32_t w) {
  const auto near = [w](int32_t t) { return w < 256 ? (255 - t) * w >> 8 : 255 - t; };
  const auto far = [w](int32_t t) { return w < 256 ? w * t >> 8 : t; };
  const auto plotPair = [&](Point at, Point toward, int32_t t) {
    p.Plot(at.x, at.y, near(t));
    p.Plot(at.x + toward.x, at.y + toward.y, far(t));
  };
  p.Plot(walk.forward.x, walk.forward.y, w);
  p.Plot(walk.backward.x, walk.backward.y, w);
  walk.StepMajor();
  const Point back{-walk.minor.x, -walk.minor.y};
  int32_t accumulator = walk.slope;
  for (int32_t i = 0; i < (walk.length + 1) / 2 - 1; ++i) {
    const int32_t t = accumulator >> 8;
    plotPair(walk.forward, walk.minor, t);
    plotPair(walk.backward, back, t);
    if (accumulator + walk.slope >= 0x10000) {
      walk.StepMinor();
      accumulator += walk.slope - 0x10000;
    } else {
      accumulator += walk.slope;
    }
    walk.StepMajor();
  }
  if (walk.length % 2 == 0) plotPair(walk.forward, walk.minor, accumulator >> 8);
}

}  // namespace

void Raster_DrawLine(RBitmap* dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour,
                     float opacity, RBlendMode mode, bool antialias) {
  if (!dst) return;
  const RPlotter p = RPlotter::For(dst, colour, mode);
  if (!p.CanDraw()) return;
  if (dst->IsBottomUp()) {
    y1 = p.view.height - 1 - y1;
    y2 = p.view.height - 1 - y2;
  }
  if (!Raster_ClipLine(x1, y1, x2, y2, p.view.width, p.view.height)) return;
  const int32_t w = Raster_Weight(opacity);
  if (w == 0) return;
  const Point a{x1, y1}, b{x2, y2};
  if (a.x == b.x || a.y == b.y) return DrawStraight(p, a, b, opacity, w);

  const int32_t dx = b.x - a.x, dy = b.y - a.y;
  if (std::abs(dx) == std::abs(dy)) {
    const Point step{dx < 0 ? -1 : 1, dy < 0 ? -1 : 1};
    if (antialias) return DrawDiagonalSmooth(p, a, step, std::abs(dx), opacity, w);
    return DrawDiagonalPlain(p, a, step, std::abs(dx), w);
  }
  const MajorWalk walk = MakeWalk(a, b);
  if (antialias) return DrawGeneralSmooth(p, walk, w);
  DrawGeneralPlain(p, walk, w);
}
