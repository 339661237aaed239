// The portable window half (IEditorWindow) with the effect's layout, driven
// as every window drives it: the cases the Windows and X11 window tests each
// check through real messages and events (tests/editor/EditorWindowTest_*),
// here once, headless, with the translation reduced to the half's calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editor/IControl.h"
#include "editor/IEditorWindow.h"
#include "raster/RPngLoader.h"
#include "tests/editor/EditorTestImages.h"
#include "tests/editor/EditorTestPlugin.h"
#include "tests/editor/HeadlessEditor.h"
#include "tests/editor/TestLayout.h"

namespace {

using Gestures = std::vector<std::string>;

// Low Drive's knob, Low Gain's knob and the Damping slider's track ends.
struct Point {
  int32_t x, y;
};
constexpr Point kLowDrive{49, 177};
constexpr Point kLowGain{109, 177};
constexpr Point kDampingLow{211, 186};
constexpr Point kDampingHigh{276, 186};
constexpr int32_t kNotch = IWheelAccumulator::kDeltaPerNotch;
const IMouseKeys kLeftHeld{true, false, false, false, false};
const IMouseKeys kRightHeld{false, true, false, false, false};

// A window without a window system: its entry is a string, its repaint
// paints at once, and its events are the half's calls a window makes.
class HeadlessWindow : public IEditorWindow {
 public:
  explicit HeadlessWindow(IEffectBase* owner) : IEditorWindow(owner, 488, 282, 0) {
    UseFakeFonts();
  }

  bool Present(const IBounds&) override { return true; }
  void EditParameterText(IControl* control, IParameter* parameter) override {
    if (entry.IsOpen() || !open) return;
    EntryOpened(control, parameter);
    shownEntry = true;
  }
  bool OpenWebPage(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenEditorWindow(const IParentWindow&) override {
    open = true;
    MarkAllControlsChanged();
    return this;
  }
  void CloseEditorWindow() override {
    if (!open) return;
    CloseWindowHalf();
    open = false;
  }
  void* NativeWindow() override { return open ? this : nullptr; }
  RBitmap* LoadBitmapResource(int32_t, const char* name) override {
    return Raster_LoadPngFile((TestImageFolder() + "/" + name).c_str());
  }

  // ---- The window's events ----
  void Press(Point p, bool right = false) {
    if (!EntryTakesPress(right)) ForwardPress(p.x, p.y, right ? kRightHeld : kLeftHeld);
  }
  void Release(Point p) { ForwardRelease(p.x, p.y, IMouseKeys{}); }
  void Click(Point p, bool right = false) {
    Press(p, right);
    Release(p);
  }
  void DoubleClick(Point p) { ForwardDoubleClick(p.x, p.y, kLeftHeld); }
  void Drag(Point p) { ForwardDrag(p.x, p.y, kLeftHeld); }
  void Wheel(Point p, int32_t delta) { ForwardWheel(p.x, p.y, IMouseKeys{}, delta); }
  void Enter() { entry.Request(ITypedEntry::kCommit); }
  void Escape() { entry.Request(ITypedEntry::kCancel); }
  void Ticks(int32_t n) {
    for (int32_t i = 0; i < n; ++i) Tick();
  }
  bool EntryOpen() const { return entry.IsOpen(); }

  std::string typed;        // the text in the entry
  bool shownEntry = false;  // the entry is on the screen
  std::vector<IBounds> repaints;

 private:
  void RepaintArea(const IBounds& changed) override {
    repaints.push_back(changed);
    if (!changed.IsEmpty()) PaintInvalid(changed);
  }
  void ReadEntryText(char* text, int32_t capacity) override {
    std::snprintf(text, static_cast<size_t>(capacity), "%s", typed.c_str());
  }
  void CloseNativeEntry() override { shownEntry = false; }

  bool open = false;
};

// The effect's layout in an open window, painted, with no host event yet.
HeadlessWindow* OpenWindow(EditorTestPlugin& plugin) {
  auto* window = new HeadlessWindow(&plugin);
  TestLayout::Build(*window, &plugin);
  plugin.AttachEditor(window);
  window->OpenEditorWindow(IParentWindow{});
  window->Tick();
  plugin.events.clear();
  return window;
}

struct WindowHalf : ::testing::Test {
  double Value(int32_t index) { return plugin.ParameterAt(index)->Normalized(); }

  EditorTestPlugin plugin;
  HeadlessWindow* window = OpenWindow(plugin);  // owned by the plug-in
};

}  // namespace

TEST_F(WindowHalf, SharedWindowCases) {
  struct Case {
    const char* name;
    void (*drive)(HeadlessWindow&);
    Gestures gestures;
    struct {
      int32_t parameter;
      double value;
    } after;
  } cases[] = {
      {"dragging a band knob up by its height adds a quarter",
       [](HeadlessWindow& w) {
         w.Press(kLowDrive);
         for (int32_t step = 1; step <= 9; ++step) w.Drag({kLowDrive.x, kLowDrive.y - 7 * step});
         w.Release({kLowDrive.x, kLowDrive.y - 63});
       },
       {"begin 2", "automate 2", "automate 2", "automate 2", "automate 2", "automate 2",
        "automate 2", "automate 2", "automate 2", "automate 2", "end 2"},
       {2, 0.75}},
      {"clicks at the track ends set the slider to its ends",
       [](HeadlessWindow& w) {
         w.Click(kDampingLow);
         w.Click(kDampingHigh);
       },
       {"begin 1", "automate 1", "end 1", "begin 1", "automate 1", "end 1"},
       {1, 1.0}},
      {"a double-click returns to the opening value; its release ends the edit",
       [](HeadlessWindow& w) {
         w.Plugin()->ParameterAt(2)->SetFromNormalized(0.9);  // the host's value
         w.ShowParameterValue(2, 0.9, true);
         w.DoubleClick(kLowDrive);
         w.Release(kLowDrive);
       },
       {"begin 2", "automate 2", "end 2"},
       {2, 0.5}},
      {"wheel notches make one gesture, ended twelve ticks after the last",
       [](HeadlessWindow& w) {
         for (int32_t i = 0; i < 3; ++i) w.Wheel(kLowDrive, kNotch);
         w.Ticks(11);
         EXPECT_EQ(static_cast<EditorTestPlugin*>(w.Plugin())->CountEvents("end"), 0);
         w.Ticks(1);
       },
       {"begin 2", "automate 2", "automate 2", "automate 2", "end 2"},
       {2, 0.53}},
      {"partial wheel deltas add up and open no empty gesture",
       [](HeadlessWindow& w) {
         for (int32_t i = 0; i < 7; ++i) w.Wheel(kLowDrive, kNotch / 8);
         EXPECT_EQ(static_cast<EditorTestPlugin*>(w.Plugin())->events.size(), 0u);
         w.Wheel(kLowDrive, kNotch / 8);
       },
       {"begin 2", "automate 2"},
       {2, 0.51}},
      {"a typed value commits on Enter at the next tick",
       [](HeadlessWindow& w) {
         w.Click(kLowGain, true);
         w.typed = "42";
         w.Enter();
         EXPECT_TRUE(w.EntryOpen());
         w.Tick();
       },
       {"begin 3", "end 3", "begin 3", "automate 3", "end 3"},
       {3, 0.42}},
      {"a left click commits the entry at the tick after its own gesture",
       [](HeadlessWindow& w) {
         w.Click(kLowGain, true);
         w.typed = "42";
         w.Click(kDampingHigh);
         w.Tick();
       },
       {"begin 3", "end 3", "begin 1", "automate 1", "end 1", "begin 3", "automate 3", "end 3"},
       {3, 0.42}},
      {"a right click cancels the entry and its release ends nothing",
       [](HeadlessWindow& w) {
         w.Click(kLowGain, true);
         w.typed = "99";
         w.Click(kLowDrive, true);
         w.Drag(kLowGain);
         w.Tick();
       },
       {"begin 3", "end 3"},
       {3, 0.2}},
      {"Escape cancels the entry",
       [](HeadlessWindow& w) {
         w.Click(kLowGain, true);
         w.typed = "99";
         w.Escape();
         w.Tick();
       },
       {"begin 3", "end 3"},
       {3, 0.2}},
      {"a release or a drag without a press goes nowhere",
       [](HeadlessWindow& w) {
         w.Drag(kLowDrive);
         w.Release(kDampingHigh);
       },
       {},
       {1, 0.5}},
      {"closing sends a pending wheel end at once",
       [](HeadlessWindow& w) {
         w.Wheel(kLowDrive, kNotch);
         w.CloseEditorWindow();
       },
       {"begin 2", "automate 2", "end 2"},
       {2, 0.51}},
      {"closing with an entry open commits nothing",
       [](HeadlessWindow& w) {
         w.Click(kLowGain, true);
         w.typed = "7";
         w.Enter();
         w.CloseEditorWindow();
         w.OpenEditorWindow(IParentWindow{});
         w.Tick();
       },
       {"begin 3", "end 3"},
       {3, 0.2}},
  };
  for (const Case& c : cases) {
    EditorTestPlugin fresh;
    HeadlessWindow* w = OpenWindow(fresh);
    c.drive(*w);
    EXPECT_EQ(fresh.Gestures(), c.gestures) << c.name;
    EXPECT_NEAR(fresh.ParameterAt(c.after.parameter)->Normalized(), c.after.value, 1e-6) << c.name;
    EXPECT_EQ(w->EntryOpen(), w->shownEntry) << c.name;
  }
}

// Entry first, then the repaint: the control an entry was closed over is
// painted in the same tick, and the countdown comes last.
TEST_F(WindowHalf, TickClosesTheEntryBeforeItRepaints) {
  window->Click(kLowGain, true);
  ASSERT_TRUE(window->EntryOpen());
  window->Tick();
  window->repaints.clear();
  window->Escape();
  window->Tick();
  EXPECT_FALSE(window->EntryOpen());
  EXPECT_FALSE(window->shownEntry);
  ASSERT_EQ(window->repaints.size(), 1u);
  const IBounds knob = window->ControlAt(TestLayout::LowDrive + 1)->rect;
  EXPECT_TRUE(window->repaints[0].Overlaps(knob));
  window->Ticks(2);  // the control's second pass, then nothing
  EXPECT_TRUE(window->repaints.back().IsEmpty());
}

TEST_F(WindowHalf, NoTicksWhileClosedAndOneEntryAtATime) {
  window->Click(kLowGain, true);
  window->typed = "42";
  window->Click(kLowDrive, true);  // cancels; opens no second entry
  EXPECT_TRUE(window->EntryOpen());
  window->CloseEditorWindow();
  window->repaints.clear();
  plugin.events.clear();
  window->Wheel(kLowDrive, kNotch);
  window->Ticks(20);
  EXPECT_TRUE(window->repaints.empty());
  EXPECT_EQ(plugin.CountEvents("end"), 0);
  EXPECT_DOUBLE_EQ(Value(3), 0.2);
}
