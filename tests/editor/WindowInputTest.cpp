// Keys, buttons, wheel deltas, double-clicks and the idle-driven tick as the
// editor windows pass them on.
#include <gtest/gtest.h>

#include <vector>

#include "editor/IEditorWinKeys.h"
#include "editor/IIdleTicker.h"
#include "editor/IKeyCodes.h"
#include "editor/IWindowInput.h"

TEST(WindowInput, MapsVirtualKeysToEditorCodes) {
  const struct {
    int32_t virtualKey, code;
  } rows[] = {{0x20, 0},  {0x26, 1},  {0x28, 2},  {0x25, 3},  {0x27, 4},  {'0', 5},
              {'9', 14},  {'A', 15},  {'Z', 40},  {0x61, 15}, {0x7A, 40}, {0x0D, -1},
              {0x1B, -1}, {0x2F, -1}, {0x40, -1}, {0x5B, -1}, {0x60, -1}, {0x7B, -1}};
  for (const auto& row : rows) EXPECT_EQ(EditorKeyCode(row.virtualKey), row.code) << row.virtualKey;
}

// The characters X11 key symbols and the page's keys stand for; no other
// character (the arrows' virtual keys among them) is a key the editor gets.
TEST(WindowInput, MapsCharactersToEditorCodes) {
  const struct {
    int32_t character, code;
  } rows[] = {{' ', 0},  {'0', 5},  {'9', 14}, {'A', 15}, {'Z', 40},  {'a', 15},
              {'z', 40}, {'%', -1}, {'&', -1}, {'(', -1}, {'\r', -1}, {0x7F, -1}};
  for (const auto& row : rows)
    EXPECT_EQ(KeyCodeOfCharacter(row.character), row.code) << row.character;
}

TEST(WindowInput, ReadsMouseKeysFromTheirBits) {
  const IMouseKeys shiftAlt =
      IMouseKeys::FromBits(IMouseKeys::kLeft | IMouseKeys::kShift | IMouseKeys::kAlt);
  EXPECT_TRUE(shiftAlt.L && !shiftAlt.R && shiftAlt.S && !shiftAlt.C && shiftAlt.A);
  const IMouseKeys rightControl = IMouseKeys::FromBits(2 | 8);
  EXPECT_TRUE(!rightControl.L && rightControl.R && !rightControl.S && rightControl.C);
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

TEST(WindowInput, DoubleClicksNeedTheSameButtonSoonAndClose) {
  const struct {
    const char* what;
    int32_t button, x, y;
    uint32_t time;
    bool isDouble;
  } presses[] = {
      {"first", 1, 50, 50, 1000, false},
      {"second, 2 px off", 1, 52, 48, 1400, true},
      {"third starts afresh", 1, 52, 48, 1500, false},
      {"3 px off", 1, 55, 48, 1600, false},
      {"too late", 1, 55, 48, 2101, false},
      {"other button", 3, 55, 48, 2200, false},
      {"left after right", 1, 55, 48, 2300, false},
      {"in time", 1, 55, 48, 2800, true},
      {"clock wraps", 1, 0, 0, 0xFFFFFF00u, false},
      {"across the wrap", 1, 0, 0, 0x80u, true},
  };
  IDoubleClickDetector detector;
  for (const auto& p : presses)
    EXPECT_EQ(detector.Press(p.button, p.x, p.y, p.time), p.isDouble) << p.what;
}

TEST(WindowInput, IdleTicksAtTheEditorRateHoweverOftenTheHostIdles) {
  const struct {
    const char* what;
    int32_t fps;
    int64_t every, until;
    int32_t ticks;
  } rows[] = {
      {"idle every ms for a second", 24, 1, 1000, 25},  // the first at once, then every 41 ms
      {"idle every 30 ms keeps the average", 24, 30, 1230, 31},
      {"idle slower than the rate ticks each time", 24, 100, 1000, 11},
      {"fps 0 means 24", 0, 1, 1000, 25},
      {"fps 10", 10, 1, 999, 10},
  };
  for (const auto& row : rows) {
    IIdleTicker ticker(row.fps);
    int32_t ticks = 0;
    for (int64_t now = 0; now <= row.until; now += row.every) ticks += ticker.Due(now) ? 1 : 0;
    EXPECT_EQ(ticks, row.ticks) << row.what;
  }
}

TEST(WindowInput, IdleAfterAPauseTicksOnceAndRestartsThePace) {
  IIdleTicker ticker(24);
  EXPECT_TRUE(ticker.Due(0));
  EXPECT_FALSE(ticker.Due(40));
  EXPECT_TRUE(ticker.Due(5000));  // no catch-up burst after a pause
  EXPECT_FALSE(ticker.Due(5001));
  EXPECT_FALSE(ticker.Due(5040));
  EXPECT_TRUE(ticker.Due(5041));
  ticker.Restart();
  EXPECT_TRUE(ticker.Due(5042));
}
