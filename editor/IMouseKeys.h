// Buttons and modifier keys at a mouse event: left, right, shift, control,
// alt.
#pragma once

struct IMouseKeys {
  bool L = false;
  bool R = false;
  bool S = false;
  bool C = false;
  bool A = false;

  // Shift or control turns the value in finer steps.
  bool Fine() const { return S || C; }
};
static_assert(sizeof(IMouseKeys) == 5, "five one-byte flags");
