// The DLL's editor as a host uses it: opened in a window of the host's
// through effEditOpen, driven by real mouse and keyboard messages through
// the message loop, closed and reopened.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/editor/EditorGestures.h"
#include "tests/vst/ModuleUnderTest.h"

namespace {

// Low Drive's knob, Low Gain's knob and the Damping slider's track ends.
constexpr POINT kLowDrive{49, 177};
constexpr POINT kLowGain{109, 177};
constexpr int32_t kDampingTrackY = 186;

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

HWND NewHostWindow() {
  return CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

class EditorWindowTest : public HostedPluginTest {
 protected:
  void SetUp() override {
    HostedPluginTest::SetUp();
    plugin->OpenAndStart(44100.0f, 512);
    parent = NewHostWindow();
    ASSERT_NE(parent, nullptr);
    ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, parent), 1);
    editor = FindWindowExA(parent, nullptr, "IEditorWndClass", nullptr);
    ASSERT_NE(editor, nullptr);
    Pump(100);
    host.Clear();
  }
  void TearDown() override {
    if (plugin && plugin->IsOpen()) plugin->Dispatch(effEditClose);
    if (parent) DestroyWindow(parent);
  }

  void Click(UINT down, UINT up, WPARAM button, POINT p) {
    PostMessageA(editor, down, button, At(p));
    PostMessageA(editor, up, 0, At(p));
    Pump(20);
  }
  void Wheel(POINT p, int16_t delta) {
    ClientToScreen(editor, &p);
    PostMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), At(p));
    Pump(5);
  }
  HWND Entry() const { return FindWindowExA(editor, nullptr, "Edit", nullptr); }
  void Type(HWND entry, const char* text) {
    for (const char* c = text; *c; ++c) PostMessageA(entry, WM_CHAR, static_cast<WPARAM>(*c), 0);
    Pump(10);
  }
  float Value(int32_t index) const { return plugin->GetParameter(index); }

  HWND parent = nullptr;
  HWND editor = nullptr;
};

}  // namespace

TEST_F(EditorWindowTest, DraggingABandKnobUpByItsHeightAddsAQuarter) {
  ASSERT_FLOAT_EQ(Value(2), 0.5f);
  PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(kLowDrive));
  Pump(10);
  for (int step = 1; step <= 9; ++step) {
    PostMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At({kLowDrive.x, kLowDrive.y - 7 * step}));
    Pump(5);
  }
  PostMessageA(editor, WM_LBUTTONUP, 0, At({kLowDrive.x, kLowDrive.y - 63}));
  Pump(20);
  // 63 pixels is the knob's height with its value line; gearing 4.
  EXPECT_FLOAT_EQ(Value(2), 0.75f);
  const std::vector<std::string> gestures = Gestures(host);
  ASSERT_GE(gestures.size(), 3u);
  EXPECT_EQ(gestures.front(), "b2");
  EXPECT_EQ(gestures.back(), "e2");
  EXPECT_TRUE(GesturesArePaired(gestures));
}

TEST_F(EditorWindowTest, ClicksAtTheTrackEndsSetTheSliderToItsEnds) {
  Click(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {211, kDampingTrackY});
  EXPECT_FLOAT_EQ(Value(1), 0.0f);
  Click(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {276, kDampingTrackY});
  EXPECT_FLOAT_EQ(Value(1), 1.0f);
  EXPECT_EQ((std::vector<std::string>{"b1", "a1", "e1", "b1", "a1", "e1"}), Gestures(host));
}

TEST_F(EditorWindowTest, WheelNotchesMakeOneGestureEndingHalfASecondLater) {
  for (int i = 0; i < 3; ++i) Wheel(kLowDrive, WHEEL_DELTA);
  EXPECT_EQ((std::vector<std::string>{"b2", "a2", "a2", "a2"}), Gestures(host));
  EXPECT_NEAR(Value(2), 0.53f, 1e-6);
  Pump(800);  // 12 ticks of 41 ms
  EXPECT_EQ(host.CountOf(audioMasterEndEdit), 1u);
}

TEST_F(EditorWindowTest, PartialWheelDeltasAddUpAndOpenNoEmptyGesture) {
  for (int i = 0; i < 7; ++i) Wheel(kLowDrive, WHEEL_DELTA / 8);
  EXPECT_TRUE(Gestures(host).empty());
  Wheel(kLowDrive, WHEEL_DELTA / 8);
  EXPECT_EQ((std::vector<std::string>{"b2", "a2"}), Gestures(host));
  EXPECT_NEAR(Value(2), 0.51f, 1e-6);
}

TEST_F(EditorWindowTest, TypedValueCommitsOnEnterAtTheNextTick) {
  const struct {
    const char* typed;
    float value;
  } rows[] = {{"42", 0.42f}, {"12.7", 0.13f}};  // the field scrolls: "12.7" is not cut to "12"
  for (const auto& row : rows) {
    host.Clear();
    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, kLowGain);
    HWND entry = Entry();
    ASSERT_NE(entry, nullptr) << row.typed;
    Type(entry, row.typed);
    PostMessageA(entry, WM_KEYDOWN, VK_RETURN, 0);
    Pump(150);
    EXPECT_EQ(Entry(), nullptr) << row.typed;
    EXPECT_FLOAT_EQ(Value(3), row.value) << row.typed;
    const std::vector<std::string> gestures = Gestures(host);
    EXPECT_TRUE(GesturesArePaired(gestures)) << row.typed;
  }
}

TEST_F(EditorWindowTest, RightClickCancelsTheEntryAndItsReleaseEndsNothing) {
  Click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, kLowGain);
  HWND entry = Entry();
  ASSERT_NE(entry, nullptr);
  Type(entry, "99");
  host.Clear();
  Click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, kLowDrive);
  Pump(150);
  EXPECT_EQ(Entry(), nullptr);
  EXPECT_FLOAT_EQ(Value(3), 0.2f);
  EXPECT_TRUE(Gestures(host).empty());
}

TEST_F(EditorWindowTest, ClosingSendsAPendingWheelEndAtOnce) {
  Wheel(kLowDrive, WHEEL_DELTA);
  EXPECT_EQ(plugin->Dispatch(effEditClose), 1);
  EXPECT_EQ((std::vector<std::string>{"b2", "a2", "e2"}), Gestures(host));
  EXPECT_FALSE(IsWindow(editor));
}

TEST_F(EditorWindowTest, ClosingThePluginWithItsEditorOpenEndsThePendingEdit) {
  Wheel(kLowDrive, WHEEL_DELTA);
  plugin->Close();
  EXPECT_EQ(host.CountOf(audioMasterEndEdit), 1u);
  EXPECT_FALSE(IsWindow(editor));
}

TEST_F(EditorWindowTest, HundredOpenCloseCyclesLeaveNothingBehind) {
  plugin->Dispatch(effEditClose);
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, parent), 1);
    editor = FindWindowExA(parent, nullptr, "IEditorWndClass", nullptr);
    if (i % 10 == 0) {  // now and then with an entry open, and its font
      Click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, kLowGain);
      EXPECT_NE(Entry(), nullptr);
    }
    Pump(1);
    plugin->Dispatch(effEditClose);
  }
  Pump(20);
  EXPECT_EQ(FindWindowExA(parent, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
  WNDCLASSA unused;
  EXPECT_FALSE(
      GetClassInfoA(static_cast<HINSTANCE>(LoadedModule().Handle()), "IEditorWndClass", &unused));
}

TEST_F(EditorWindowTest, TwoInstancesEditorsOpenAtOnce) {
  RecordingHost otherHost;
  HostedPlugin other(ModuleEntry(), otherHost);
  HWND otherParent = NewHostWindow();
  ASSERT_EQ(other.Dispatch(effEditOpen, 0, 0, otherParent), 1);
  HWND otherEditor = FindWindowExA(otherParent, nullptr, "IEditorWndClass", nullptr);
  ASSERT_NE(otherEditor, nullptr);
  // Closing one leaves the other working.
  other.Dispatch(effEditClose);
  Click(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {276, kDampingTrackY});
  EXPECT_FLOAT_EQ(Value(1), 1.0f);
  ASSERT_EQ(other.Dispatch(effEditOpen, 0, 0, otherParent), 1);
  other.Close();
  EXPECT_FALSE(IsWindow(FindWindowExA(otherParent, nullptr, "IEditorWndClass", nullptr)));
  DestroyWindow(otherParent);
}
