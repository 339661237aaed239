// Input routing, edit gestures and the value flow between the plug-in and
// the controls, driven through the headless editor with the effect's layout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "editor/IControl.h"
#include "editor/IKnobArc.h"
#include "editor/ILinkControl.h"
#include "editor/ISlider.h"
#include "framework/IParameter.h"
#include "tests/editor/EditorTestImages.h"
#include "tests/editor/EditorTestPlugin.h"
#include "tests/editor/HeadlessEditor.h"
#include "tests/editor/TestLayout.h"

namespace {

using Gestures = std::vector<std::string>;

const IMouseKeys kLeft{true, false, false, false, false};
const IMouseKeys kRight{false, true, false, false, false};
const IMouseKeys kNone{};

// A control that records the events routed to it.
class ProbeControl : public IControl {
 public:
  ProbeControl(IEffectBase* owner, const IBounds& area, int32_t parameterIndex, std::string* log,
               char name)
      : IControl(owner, area, parameterIndex), events(log), id(name) {}
  void MousePressed(int32_t, int32_t, const IMouseKeys&) override { Log("press"); }
  void MouseReleased(int32_t, int32_t, const IMouseKeys&) override { Log("release"); }
  void MouseDragged(int32_t, int32_t, int32_t dX, int32_t dY, const IMouseKeys&) override {
    Log("drag" + std::to_string(dX) + "," + std::to_string(dY));
  }
  void MouseDoubleClicked(int32_t, int32_t, const IMouseKeys&) override { Log("double"); }
  bool KeyPressed(int32_t, int32_t, int32_t key) override {
    Log("key" + std::to_string(key));
    return true;
  }
  bool Paint(IEditor&) override { return true; }

 private:
  void Log(const std::string& what) { *events += std::string(1, id) + ":" + what + " "; }
  std::string* events;
  char id;
};

struct EditorFixture : ::testing::Test {
  EditorFixture() {
    auto* e = new HeadlessEditor(&plugin, TestImageFolder());
    TestLayout::Build(*e, &plugin);
    plugin.AttachEditor(e);
    editor = e;
    while (editor->Tick()) {
    }
    plugin.events.clear();
    editor->presented.clear();
  }
  IControl* Control(int32_t index) { return editor->ControlAt(index); }

  EditorTestPlugin plugin;
  HeadlessEditor* editor;  // owned by the plug-in
};

struct ProbeFixture : ::testing::Test {
  ProbeFixture() : editor(&plugin, TestImageFolder(), 100, 100) {
    // a (param 0) under b (param 1), which overlaps it on the right; c has
    // no parameter.
    editor.AddControl(new ProbeControl(&plugin, {0, 0, 60, 60}, 0, &log, 'a'));
    editor.AddControl(new ProbeControl(&plugin, {40, 0, 100, 60}, 1, &log, 'b'));
    editor.AddControl(new ProbeControl(&plugin, {0, 70, 100, 100}, -1, &log, 'c'));
  }
  EditorTestPlugin plugin;
  HeadlessEditor editor;
  std::string log;
};

TEST_F(ProbeFixture, HitTestingPrefersTheLaterVisibleEnabledControl) {
  struct Case {
    bool hideB, greyB;
    int32_t x, y, expected;
  } cases[] = {
      {false, false, 50, 10, 1}, {true, false, 50, 10, 0},   {false, true, 50, 10, 0},
      {false, false, 10, 10, 0}, {false, false, 50, 65, -1}, {false, false, 10, 80, 2},
  };
  for (const Case& c : cases) {
    editor.ControlAt(1)->SetHidden(c.hideB);
    editor.ControlAt(1)->SetGrayed(c.greyB);
    EXPECT_EQ(editor.FindControlAt(c.x, c.y), c.expected) << c.x << "," << c.y;
  }
  EXPECT_EQ(editor.ControlAt(1)->blend.weight, 1.0f);
  editor.ControlAt(1)->SetGrayed(true);
  EXPECT_EQ(editor.ControlAt(1)->blend.weight, 0.25f);
}

TEST_F(ProbeFixture, InputSequencesReachControlsAndTheHost) {
  struct Case {
    const char* name;
    void (*drive)(HeadlessEditor&);
    const char* routed;
    Gestures gestures;
  } cases[] = {
      {"drag outside keeps the capture",
       [](HeadlessEditor& e) {
         e.HandleMousePress(10, 10, kLeft);
         e.HandleMouseDrag(10, 10, kLeft);  // unchanged: not routed
         e.HandleMouseDrag(90, 95, kLeft);
         e.HandleMouseRelease(90, 95, kNone);
       },
       "a:press a:drag80,85 a:release ",
       {"begin 0", "end 0"}},
      {"double-click taken as a double-click",
       [](HeadlessEditor& e) {
         e.HandleDoubleClick(10, 10, kLeft);
         e.HandleMouseRelease(10, 10, kNone);
       },
       "a:double a:release ",
       {"begin 0", "end 0"}},
      {"double-click taken as a press",
       [](HeadlessEditor& e) {
         e.ControlAt(0)->dblClickAsPress = true;
         EXPECT_TRUE(e.HandleDoubleClick(10, 10, kLeft));
         e.HandleMouseDrag(10, 20, kLeft);
         e.HandleMouseRelease(90, 90, kNone);
       },
       "a:press a:drag0,10 a:release ",
       {"begin 0", "end 0"}},
      // The host hears the end of the gesture it was told of, wherever the
      // release lands, and no end without a begin.
      {"release after a double-click lands elsewhere",
       [](HeadlessEditor& e) {
         e.HandleDoubleClick(10, 10, kLeft);
         e.HandleMouseRelease(90, 10, kNone);
       },
       "a:double b:release ",
       {"begin 0", "end 0"}},
      {"release without a press",
       [](HeadlessEditor& e) { e.HandleMouseRelease(10, 10, kNone); },
       "a:release ",
       {}},
      {"second press during a gesture",
       [](HeadlessEditor& e) {
         e.HandleMousePress(10, 10, kLeft);
         e.HandleMousePress(90, 10, kRight);
         e.HandleMouseRelease(90, 10, kNone);
       },
       "a:press b:press b:release ",
       {"begin 0", "end 0", "begin 1", "end 1"}},
      {"control without a parameter",
       [](HeadlessEditor& e) {
         e.HandleMousePress(10, 80, kLeft);
         e.HandleMouseRelease(10, 80, kNone);
         e.HandleKey(10, 80, 13);
       },
       "c:press c:release c:key13 ",
       {}},
      {"nothing hit",
       [](HeadlessEditor& e) {
         e.HandleMousePress(50, 65, kLeft);
         e.HandleMouseDrag(60, 65, kLeft);
         e.HandleDoubleClick(50, 65, kLeft);
         e.HandleMouseRelease(50, 65, kNone);
       },
       "",
       {}},
  };
  for (const Case& c : cases) {
    log.clear();
    plugin.events.clear();
    editor.ControlAt(0)->dblClickAsPress = false;
    c.drive(editor);
    EXPECT_EQ(log, c.routed) << c.name;
    EXPECT_EQ(plugin.Gestures(), c.gestures) << c.name;
    EXPECT_EQ(editor.CaptureIndex(), -1) << c.name;
  }
}

TEST_F(EditorFixture, KnobDragSendsEveryStepBetweenOneBeginAndOneEnd) {
  // Low Drive, 63 pixels high, gearing 4: 63 pixels up add 0.25.
  const double start = Control(TestLayout::LowDrive)->value;
  editor->HandleMousePress(49, 177, kLeft);
  editor->HandleMouseDrag(49, 150, kLeft);
  editor->HandleMouseDrag(200, 114, kLeft);  // far outside the knob
  editor->HandleMouseRelease(200, 114, kNone);
  EXPECT_NEAR(Control(TestLayout::LowDrive)->value, start + 0.25, 1e-12);
  const Gestures expected{"begin 2", "automate 2", "automate 2", "end 2"};
  EXPECT_EQ(plugin.Gestures(), expected);
  EXPECT_EQ(plugin.ParameterAt(2)->value, 75.0);
}

TEST_F(EditorFixture, WheelNotchesMakeOneGestureEndedAfterHalfASecond) {
  for (int i = 0; i < 3; ++i) editor->HandleWheel(49, 177, kNone, 1);
  const Gestures during{"begin 2", "automate 2", "automate 2", "automate 2"};
  EXPECT_EQ(plugin.Gestures(), during);
  EXPECT_NEAR(Control(TestLayout::LowDrive)->value, 0.53, 1e-12);
  for (int tick = 1; tick < 12; ++tick) editor->Tick();
  EXPECT_EQ(plugin.CountEvents("end"), 0);
  editor->Tick();  // the twelfth tick at 24 per second
  Gestures after = during;
  after.push_back("end 2");
  EXPECT_EQ(plugin.Gestures(), after);
}

TEST_F(EditorFixture, SliderFollowsTheMouseInsideItsTrackOnly) {
  ISlider* damping = static_cast<ISlider*>(Control(TestLayout::Damping));
  struct Step {
    int32_t x, y;
    double value;
  } steps[] = {{219, 185, 0.0}, {244, 185, 0.5}, {269, 185, 1.0},
               {290, 185, 1.0}, {230, 200, 1.0}, {276, 190, 1.0}};
  editor->HandleMousePress(steps[0].x, steps[0].y, kLeft);
  for (const Step& s : steps) {
    editor->HandleMouseDrag(s.x, s.y, kLeft);
    EXPECT_DOUBLE_EQ(damping->value, s.value) << s.x << "," << s.y;
  }
  editor->HandleMouseRelease(276, 190, kNone);
  EXPECT_EQ(plugin.ParameterAt(1)->value, 100.0);
}

TEST_F(EditorFixture, ValuesFromThePluginReachTheBoundControls) {
  IControl* mix = Control(TestLayout::Mix);
  EXPECT_DOUBLE_EQ(mix->value, 0.9);  // attached: the default 90 %
  EXPECT_DOUBLE_EQ(mix->defaultValue, 0.9);

  editor->ShowParameterValue(8, 40.0, false);
  editor->ShowParameterValue(8, 0.25, true);  // the latest wins
  EXPECT_DOUBLE_EQ(mix->value, 0.9);          // applied on the GUI thread's next tick
  EXPECT_TRUE(editor->Tick());
  EXPECT_DOUBLE_EQ(mix->value, 0.25);
  EXPECT_EQ(editor->presented.back(), mix->PaintArea());
  EXPECT_TRUE(editor->Tick());  // painted in two consecutive passes
  EXPECT_FALSE(editor->Tick());

  editor->ShowParameterValue(8, 0.25, true);  // unchanged: nothing to paint
  EXPECT_FALSE(editor->Tick());
  editor->ShowParameterValue(42, 0.5, true);  // no control uses it
  editor->ShowParameterValue(42, 5.0, false);
  EXPECT_FALSE(editor->Tick());

  editor->HandleDoubleClick(244, 235, kLeft);  // back to the first value shown
  editor->HandleMouseRelease(244, 235, kNone);
  EXPECT_DOUBLE_EQ(mix->value, 0.9);
  EXPECT_EQ(plugin.ParameterAt(8)->value, 90.0);
}

TEST(EditorControl, FirstHostValueBecomesTheDefaultAndClampsApply) {
  EditorTestPlugin plugin;
  ProbeControl control(&plugin, {0, 0, 10, 10}, 3, nullptr, 'p');
  control.ApplyHostValue(0.0);
  EXPECT_EQ(control.defaultValue, 0.0);
  control.MarkPainted();
  control.MarkPainted();
  control.ApplyHostValue(0.0);  // unchanged: stays clean
  EXPECT_FALSE(control.NeedsPaint());

  struct Case {
    double in, out;
  } cases[] = {{1.5, 1.0}, {-0.5, 0.0}, {std::numeric_limits<double>::quiet_NaN(), 0.0}};
  for (const Case& c : cases) {
    control.value = c.in;
    control.MarkChanged(true);
    EXPECT_EQ(control.value, c.out) << c.in;
    EXPECT_EQ(plugin.events.end()[-2], (HostEvent{"automate", 3, c.out}));
  }
}

TEST_F(EditorFixture, ValueTextsShowWhatTheParameterStores) {
  // Texts come from the control's own value, stepped as the parameter steps
  // it, so painting never reads the value a host thread writes.
  for (int32_t index : {TestLayout::SplitFreq, TestLayout::LowDrive}) {
    IControl* control = Control(index);
    IParameter* parameter = plugin.ParameterAt(control->paramIdx);
    for (double v : {0.0, 0.005, 0.22, 0.4999, 0.75, 1.0}) {
      control->value = v;
      parameter->SetFromNormalized(v);
      char shown[64], stored[64];
      control->ValueText(shown, sizeof shown, true);
      parameter->FormatValue(parameter->value, false, stored, sizeof stored);
      EXPECT_EQ(std::string(shown), std::string(stored) + parameter->Label()) << index << " " << v;
    }
  }
  char none[8] = "x";
  Control(TestLayout::TitleLink)->ValueText(none, sizeof none, true);
  EXPECT_STREQ(none, "");
}

TEST_F(EditorFixture, RepaintCoversValueTextsWiderThanTheirControl) {
  editor->Tick();
  editor->Tick();  // everything painted and settled
  for (int32_t index :
       {int32_t{TestLayout::SplitFreq}, int32_t{TestLayout::LowDrive}, int32_t{TestLayout::Mix}}) {
    IControl* control = Control(index);
    control->ApplyHostValue(control->value > 0.5 ? 0.0 : 1.0);
    IBounds area;
    ASSERT_TRUE(editor->CollectChangedArea(area)) << index;
    const IBounds& r = control->rect;
    EXPECT_EQ(area, (IBounds{r.L - 8, r.T, r.R + 8, r.B})) << index;
    editor->Tick();
    editor->Tick();
  }
}

TEST_F(EditorFixture, RightClickOpensTheTextEntry) {
  auto* split = static_cast<IKnobArc*>(Control(TestLayout::SplitFreq));
  editor->HandleMousePress(244, 117, kRight);
  editor->HandleMouseRelease(244, 117, kNone);
  EXPECT_TRUE(split->prompting);
  EXPECT_TRUE(split->textEntryOpen);
  const size_t sent = plugin.events.size();
  split->EndTextEntry();
  EXPECT_EQ(plugin.events.size(), sent) << "closing an entry sends no value outside a gesture";
  editor->Tick();
  EXPECT_FALSE(split->prompting);

  editor->HandleMousePress(49, 177, kRight);  // a rotary knob
  editor->HandleMousePress(150, 30, kRight);  // the title link has no parameter
  const std::vector<int32_t> entries{0, 2};
  EXPECT_EQ(editor->textEntries, entries);
}

TEST_F(EditorFixture, TitlePlateOpensTheMakersPageOrItsMainPage) {
  editor->HandleMousePress(200, 40, kLeft);
  editor->pagesOpen = false;
  editor->HandleMousePress(200, 40, kLeft);
  auto* link = static_cast<ILinkControl*>(Control(TestLayout::TitleLink));
  link->address[0] = '\0';
  editor->HandleMousePress(200, 40, kLeft);
  const std::vector<std::string> opened{"https://example.com/plugins",
                                        "https://example.com/plugins", "https://example.com",
                                        "https://example.com"};
  EXPECT_EQ(editor->pagesOpened, opened);
  editor->HandleMousePress(100, 100, kLeft);  // the background: nothing
  EXPECT_EQ(editor->pagesOpened.size(), 4u);
  EXPECT_TRUE(plugin.Gestures().empty());
}

TEST_F(EditorFixture, SetSizeLeavesNoControls) {
  editor->SetSize(300, 200);
  EXPECT_EQ(editor->ControlCount(), 0);
  EXPECT_EQ(editor->Width(), 300);
  EXPECT_EQ(plugin.resizedWidth, 300);
  EXPECT_EQ(plugin.resizedHeight, 200);
  EXPECT_TRUE(editor->PaintInvalid({0, 0, 300, 200}));
  EXPECT_TRUE(editor->presented.empty());
}

TEST_F(ProbeFixture, BackgroundGoesUnderEverything) {
  editor.SetBackground(100, "img/bg.png");
  ASSERT_EQ(editor.ControlCount(), 4);
  EXPECT_EQ(editor.ControlAt(0)->rect, (IBounds{0, 0, 488, 282}));
  EXPECT_EQ(editor.ControlAt(0)->blend.kind, IBlendSpec::BlendOverwrite);
  EXPECT_EQ(editor.FindControlAt(10, 10), 1);
  EXPECT_EQ(editor.FindControlAt(50, 65), 0);
}

}  // namespace
