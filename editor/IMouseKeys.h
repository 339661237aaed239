// Buttons and modifier keys at a mouse event: left, right, shift, control,
// alt.
#pragma once

#include <cstdint>

struct IMouseKeys {
  bool L = false;
  bool R = false;
  bool S = false;
  bool C = false;
  bool A = false;

  // Shift or control turns the value in finer steps.
  bool Fine() const { return S || C; }

  // The keys as one word of bits, for a boundary that passes numbers (the
  // web page's events): left 1, right 2, shift 4, control 8, alt 16.
  enum IBit : uint32_t { kLeft = 1, kRight = 2, kShift = 4, kControl = 8, kAlt = 16 };
  static IMouseKeys FromBits(uint32_t bits) {
    IMouseKeys keys;
    keys.L = (bits & kLeft) != 0;
    keys.R = (bits & kRight) != 0;
    keys.S = (bits & kShift) != 0;
    keys.C = (bits & kControl) != 0;
    keys.A = (bits & kAlt) != 0;
    return keys;
  }
};
static_assert(sizeof(IMouseKeys) == 5, "five one-byte flags");
