// Keys, buttons and wheel deltas as the Windows editor window passes them on.
#include <gtest/gtest.h>

#include <vector>

#include "editor/IWindowInput.h"

TEST(WindowInput, MapsVirtualKeysToEditorCodes) {
  const struct {
    int32_t virtualKey, code;
  } rows[] = {{0x20, 0},  {0x26, 1},  {0x28, 2},  {0x25, 3},  {0x27, 4},  {'0', 5},
              {'9', 14},  {'A', 15},  {'Z', 40},  {0x61, 15}, {0x7A, 40}, {0x0D, -1},
              {0x1B, -1}, {0x2F, -1}, {0x40, -1}, {0x5B, -1}, {0x60, -1}, {0x7B, -1}};
  for (const auto& row : rows) EXPECT_EQ(EditorKeyCode(row.virtualKey), row.code) << row.virtualKey;
}

TEST(WindowInput, ReadsButtonsAndModifiersFromTheKeyStateWord) {
  const IMouseKeys none = MouseKeysFromFlags(0, false);
  EXPECT_FALSE(none.L || none.R || none.S || none.C || none.A);
  const IMouseKeys all = MouseKeysFromFlags(0x1 | 0x2 | 0x4 | 0x8 | 0x10, true);
  EXPECT_TRUE(all.L && all.R && all.S && all.C && all.A);
  const IMouseKeys rightShift = MouseKeysFromFlags(0x2 | 0x4, false);
  EXPECT_TRUE(!rightShift.L && rightShift.R && rightShift.S && !rightShift.C && !rightShift.A);
}

TEST(WindowInput, WheelActsOnWholeNotchesOnly) {
  const struct {
    const char* what;
    std::vector<int32_t> deltas, notches;
  } rows[] = {
      {"classic wheel", {120, 120, -120}, {1, 1, -1}},
      {"fast wheel", {360, -240}, {3, -2}},
      {"touchpad eighths", {15, 15, 15, 15, 15, 15, 15, 15, 15}, {0, 0, 0, 0, 0, 0, 0, 1, 0}},
      {"partial then rest", {100, 30, 110}, {0, 1, 1}},
      {"reversal drops the partial", {100, -30, -90}, {0, 0, -1}},
      {"extreme deltas", {-32768, 32767}, {-273, 273}},
  };
  for (const auto& row : rows) {
    IWheelAccumulator wheel;
    std::vector<int32_t> got;
    for (int32_t delta : row.deltas) got.push_back(wheel.Add(delta));
    EXPECT_EQ(got, row.notches) << row.what;
  }
}
