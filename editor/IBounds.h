// The editor's integer rectangle in editor pixels, y growing downwards.
// Right and bottom are exclusive; the all-zero rectangle is the empty one.
#pragma once

#include <cstdint>

struct IBounds {
  int32_t L = 0;
  int32_t T = 0;
  int32_t R = 0;
  int32_t B = 0;

  int32_t Width() const { return R - L; }
  int32_t Height() const { return B - T; }
  bool IsEmpty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  bool Contains(int32_t x, int32_t y) const { return L <= x && x < R && T <= y && y < B; }
  // Strict: rectangles that only touch do not overlap; the empty one
  // overlaps nothing.
  bool Overlaps(const IBounds& o) const {
    return !IsEmpty() && !o.IsEmpty() && L < o.R && o.L < R && T < o.B && o.T < B;
  }
  IBounds Union(const IBounds& o) const {
    if (IsEmpty()) return o;
    if (o.IsEmpty()) return *this;
    return {L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B};
  }
  IBounds Intersection(const IBounds& o) const {
    if (!Overlaps(o)) return {};
    return {L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B};
  }
  bool operator==(const IBounds&) const = default;
};
