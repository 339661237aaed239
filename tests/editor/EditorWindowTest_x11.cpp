// The Linux module's editor as an X11 host uses it: opened in a window of
// the host's through effEditOpen, driven by effEditIdle, with real pointer
// events from the XTest extension, closed and reopened. Needs a display
// (ctest runs it through scripts/x-display, which starts Xvfb if needed).
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <png.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/editor/EditorGestures.h"
#include "tests/vst/ModuleUnderTest.h"

// After GoogleTest, which has names that Xlib defines as macros (None).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// Low Drive's knob, Low Gain's knob and the Damping slider's track ends, in
// editor pixels.
struct Point {
  int x, y;
};
constexpr Point kLowDrive{49, 177};
constexpr Point kLowGain{109, 177};
constexpr int kDampingTrackY = 186;

// The host window's place on the screen, away from the corner where other
// programs on a shared display open theirs.
constexpr int kHostX = 660;
constexpr int kHostY = 560;

size_t OpenDescriptors() {
  size_t n = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++n;
    closedir(dir);
  }
  return n;
}

std::vector<Window> ChildrenOf(Display* display, Window parent) {
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::vector<Window> out;
  if (XQueryTree(display, parent, &root, &up, &children, &count)) {
    out.assign(children, children + count);
    if (children) XFree(children);
  }
  return out;
}

// The module finds its fonts through fontconfig, which loses its parsed
// configuration (288 bytes, once) when the module unloads at the end of the
// run. The module's own word on it does not reach LeakSanitizer from inside
// a dlopen-ed library, so the host says it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DM_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(DM_LEAK_CHECKED)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

// The host's connection, open for the whole run: a server that is left
// without clients resets, and refuses connections meanwhile.
Display* TestDisplay() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

class X11EditorTest : public HostedPluginTest {
 protected:
  void SetUp() override {
    // One pointer per display: tests of other runs on the same display
    // wait for this one.
    lock = open(("/tmp/.dm-x11-pointer-" + std::to_string(getuid()) + ".lock").c_str(),
                O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (lock >= 0) flock(lock, LOCK_EX);
    HostedPluginTest::SetUp();
    display = TestDisplay();
    ASSERT_NE(display, nullptr) << "no X display";
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor));
    plugin->OpenAndStart(44100.0f, 512);
    parent = NewHostWindow();
    ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, WindowPointer(parent)), 1);
    const std::vector<Window> children = ChildrenOf(display, parent);
    ASSERT_EQ(children.size(), 1u);
    editor = children[0];
    Idle(100);
    host.Clear();
  }
  void TearDown() override {
    if (plugin && plugin->IsOpen()) plugin->Dispatch(effEditClose);
    if (display && parent) XDestroyWindow(display, parent);
    if (display) XSync(display, False);
    if (lock >= 0) close(lock);
  }

  static void* WindowPointer(Window window) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
  }
  Window NewHostWindow(int x = kHostX, int y = kHostY) {
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;  // placed where asked, window manager or not
    Window window =
        XCreateWindow(display, DefaultRootWindow(display), x, y, 600, 400, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    return window;
  }
  // The host's GUI loop: idle calls about every 5 ms.
  void Idle(int milliseconds, HostedPlugin* other = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
      plugin->Dispatch(effEditIdle);
      if (other) other->Dispatch(effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
  }
  // Idles until done() holds, for at most the timeout: what a number of
  // ticks brings about, however slowly a loaded machine runs them.
  template <typename Done>
  bool IdleUntil(Done done, int timeoutMilliseconds = 3000) {
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!done() && std::chrono::steady_clock::now() < end) Idle(5);
    return done();
  }
  void MoveTo(Point p) {
    XTestFakeMotionEvent(display, -1, kHostX + p.x, kHostY + p.y, CurrentTime);
    XSync(display, False);
    Idle(10);
  }
  void Button(unsigned button, bool down) {
    XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
    XSync(display, False);
    Idle(10);
  }
  void Click(unsigned button, Point p) {
    MoveTo(p);
    Button(button, true);
    Button(button, false);
    // Left clicks closer than a double-click's time would make one.
    Idle(button == 1 ? 520 : 20);
  }
  // Keys go to the editor window as the server delivers them to the window
  // with the focus; sent straight to it, no other window on a shared
  // display can take them.
  void Key(KeySym symbol) {
    XKeyEvent key = {};
    key.type = KeyPress;
    key.display = display;
    key.window = editor;
    key.root = DefaultRootWindow(display);
    key.keycode = XKeysymToKeycode(display, symbol);
    key.same_screen = True;
    XSendEvent(display, editor, False, KeyPressMask, reinterpret_cast<XEvent*>(&key));
    XSync(display, False);
    Idle(5);
  }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) Key(static_cast<KeySym>(*c));
  }
  float Value(int32_t index) const { return plugin->GetParameter(index); }

  int lock = -1;
  Display* display = nullptr;
  Window parent = 0;
  Window editor = 0;
};

}  // namespace

TEST_F(X11EditorTest, ShowsTheArtworkTheModuleCarries) {
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, DM_MODULE_RESOURCES "/bg.png"));
  png.format = PNG_FORMAT_BGRA;  // the pixel words of a little-endian X server
  std::vector<uint32_t> background(PNG_IMAGE_SIZE(png) / 4);
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, background.data(), 0, nullptr));
  ASSERT_EQ(png.width, 488u);
  XImage* shown = XGetImage(display, editor, 0, 0, 488, 282, AllPlanes, ZPixmap);
  ASSERT_NE(shown, nullptr);
  // The frame around the panel: the background image alone is drawn there.
  int differing = 0;
  for (int x = 0; x < 488; ++x) {
    for (int y : {0, 1, 280, 281}) {
      const uint32_t want = background[static_cast<size_t>(y) * 488 + static_cast<size_t>(x)];
      differing += (XGetPixel(shown, x, y) & 0xFFFFFF) != (want & 0xFFFFFF) ? 1 : 0;
    }
  }
  XDestroyImage(shown);
  EXPECT_EQ(differing, 0);
  // Window lists show the panel under the plug-in's name.
  char* name = nullptr;
  ASSERT_TRUE(XFetchName(display, editor, &name));
  EXPECT_STREQ(name, "duoMangler");
  XFree(name);
}

TEST_F(X11EditorTest, DraggingABandKnobUpByItsHeightAddsAQuarter) {
  ASSERT_FLOAT_EQ(Value(2), 0.5f);
  MoveTo(kLowDrive);
  Button(1, true);
  for (int step = 1; step <= 9; ++step) MoveTo({kLowDrive.x, kLowDrive.y - 7 * step});
  Button(1, false);
  IdleUntil([&] { return host.CountOf(audioMasterEndEdit) == 1; });
  // 63 pixels is the knob's height with its value line; gearing 4.
  EXPECT_FLOAT_EQ(Value(2), 0.75f);
  const std::vector<std::string> gestures = Gestures(host);
  ASSERT_GE(gestures.size(), 3u);
  EXPECT_EQ(gestures.front(), "b2");
  EXPECT_EQ(gestures.back(), "e2");
  EXPECT_TRUE(GesturesArePaired(gestures));
}

TEST_F(X11EditorTest, ClicksAtTheTrackEndsSetTheSliderToItsEnds) {
  Click(1, {211, kDampingTrackY});
  EXPECT_FLOAT_EQ(Value(1), 0.0f);
  Click(1, {276, kDampingTrackY});
  EXPECT_FLOAT_EQ(Value(1), 1.0f);
  EXPECT_EQ((std::vector<std::string>{"b1", "a1", "e1", "b1", "a1", "e1"}), Gestures(host));
}

TEST_F(X11EditorTest, DoubleClickReturnsToTheOpeningValue) {
  Click(1, {276, kDampingTrackY});
  ASSERT_FLOAT_EQ(Value(1), 1.0f);
  MoveTo(kLowDrive);
  plugin->SetParameter(2, 0.9f);
  for (int i = 0; i < 2; ++i) {
    Button(1, true);
    Button(1, false);
  }
  Idle(60);
  EXPECT_FLOAT_EQ(Value(2), 0.5f);
  EXPECT_TRUE(GesturesArePaired(Gestures(host)));
}

TEST_F(X11EditorTest, WheelNotchesMakeOneGestureEndingHalfASecondLater) {
  MoveTo(kLowDrive);
  for (int i = 0; i < 3; ++i) {
    Button(4, true);
    Button(4, false);
  }
  EXPECT_EQ((std::vector<std::string>{"b2", "a2", "a2", "a2"}), Gestures(host));
  EXPECT_NEAR(Value(2), 0.53f, 1e-6);
  Button(5, true);
  Button(5, false);
  EXPECT_NEAR(Value(2), 0.52f, 1e-6);
  const auto lastNotch = std::chrono::steady_clock::now();
  // 12 ticks of 41 ms after the notch, which came a little before.
  EXPECT_TRUE(IdleUntil([&] { return host.CountOf(audioMasterEndEdit) == 1; }));
  EXPECT_GE(std::chrono::steady_clock::now() - lastNotch, std::chrono::milliseconds(300));
  Idle(100);
  EXPECT_EQ(host.CountOf(audioMasterEndEdit), 1u);
  EXPECT_TRUE(GesturesArePaired(Gestures(host)));
}

TEST_F(X11EditorTest, TypedValueCommitsOnEnterAtTheNextTick) {
  const struct {
    const char* typed;
    float value;
  } rows[] = {{"42", 0.42f}, {"12.7", 0.13f}};
  for (const auto& row : rows) {
    host.Clear();
    Click(3, kLowGain);
    Type(row.typed);
    Key(XK_Return);
    IdleUntil([&] { return Value(3) == row.value; });
    EXPECT_FLOAT_EQ(Value(3), row.value) << row.typed;
    EXPECT_TRUE(GesturesArePaired(Gestures(host))) << row.typed;
  }
}

TEST_F(X11EditorTest, RightClickOrEscapeCancelsTheEntryAndEndsNothing) {
  for (bool escape : {false, true}) {
    Click(3, kLowGain);
    Type("99");
    host.Clear();
    if (escape) {
      Key(XK_Escape);
    } else {
      Click(3, kLowDrive);
    }
    Idle(150);  // a few ticks: the entry closes at the first
    EXPECT_FLOAT_EQ(Value(3), 0.2f) << escape;
    EXPECT_TRUE(Gestures(host).empty()) << escape;
  }
  // The entry is gone: keys reach the editor's controls again, not a field.
  Type("1");
  Key(XK_Return);
  Idle(150);
  EXPECT_FLOAT_EQ(Value(3), 0.2f);
}

TEST_F(X11EditorTest, ClosingSendsAPendingWheelEndAtOnce) {
  MoveTo(kLowDrive);
  Button(4, true);
  Button(4, false);
  EXPECT_EQ(plugin->Dispatch(effEditClose), 1);
  EXPECT_EQ((std::vector<std::string>{"b2", "a2", "e2"}), Gestures(host));
  XSync(display, False);
  EXPECT_TRUE(ChildrenOf(display, parent).empty());
}

TEST_F(X11EditorTest, HundredOpenCloseCyclesLeaveNothingBehind) {
  plugin->Dispatch(effEditClose);
  // One cycle first: Xlib keeps some things for the process once made.
  ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, WindowPointer(parent)), 1);
  plugin->Dispatch(effEditIdle);
  plugin->Dispatch(effEditClose);
  const size_t descriptors = OpenDescriptors();
  const size_t heap = mallinfo2().uordblks;
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, WindowPointer(parent)), 1);
    plugin->Dispatch(effEditIdle);
    if (i % 10 == 0) {  // now and then with an entry open
      Click(3, kLowGain);
      Type("7");
    }
    plugin->Dispatch(effEditClose);
  }
  XSync(display, False);
  EXPECT_TRUE(ChildrenOf(display, parent).empty());
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_LT(mallinfo2().uordblks, heap + 64 * 1024);
  EXPECT_FLOAT_EQ(Value(3), 0.2f) << "entries closed with the window commit nothing";
}

TEST_F(X11EditorTest, TheHostDestroyingItsWindowFirstIsSurvived) {
  for (bool idleBetween : {false, true}) {
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
    if (idleBetween) Idle(60);
    EXPECT_EQ(plugin->Dispatch(effEditClose), 1);
    // And the editor opens again in a new window.
    parent = NewHostWindow();
    ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, WindowPointer(parent)), 1);
    Idle(60);
  }
  Click(1, {276, kDampingTrackY});
  EXPECT_FLOAT_EQ(Value(1), 1.0f);
  // A window that never existed is refused.
  plugin->Dispatch(effEditClose);
  EXPECT_EQ(plugin->Dispatch(effEditOpen, 0, 0, WindowPointer(0x7FFFFFF)), 0);
}

TEST_F(X11EditorTest, TwoInstancesEditorsOpenAtOnce) {
  RecordingHost otherHost;
  HostedPlugin other(ModuleEntry(), otherHost);
  const Window otherParent = NewHostWindow(kHostX - 600, kHostY);
  ASSERT_EQ(other.Dispatch(effEditOpen, 0, 0, WindowPointer(otherParent)), 1);
  Idle(60, &other);
  // Each editor takes its own window's clicks.
  MoveTo({276, kDampingTrackY});
  Button(1, true);
  Button(1, false);
  EXPECT_FLOAT_EQ(Value(1), 1.0f);
  EXPECT_FLOAT_EQ(other.GetParameter(1), 0.5f);
  // Closing one leaves the other working.
  other.Dispatch(effEditClose);
  Click(1, {211, kDampingTrackY});
  EXPECT_FLOAT_EQ(Value(1), 0.0f);
  ASSERT_EQ(other.Dispatch(effEditOpen, 0, 0, WindowPointer(otherParent)), 1);
  other.Close();
  XSync(display, False);
  EXPECT_TRUE(ChildrenOf(display, otherParent).empty());
  XDestroyWindow(display, otherParent);
}
