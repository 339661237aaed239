// The panel as a host opens it: the controller's view attached to a host
// window (an HWND under Wine, an X11 window under Xvfb, driven there by the
// host's run loop), removed, and opened and closed again a hundred times;
// nothing may stay behind: no window, no timer, no event handler.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "tests/vst3/HostWindow.h"
#include "tests/vst3/Vst3TestHost.h"

#if !defined(_WIN32)
#include <dirent.h>
#endif

using namespace vst3test;

namespace {

#if defined(_WIN32)
const char* const kWindowType = kPlatformTypeHWND;
#else
const char* const kWindowType = kPlatformTypeX11EmbedWindowID;
#endif

// The host's plug frame and, on Linux, its run loop, which records what the
// panel registers and calls it back as a host's loop would.
class Frame : public IPlugFrame
#if !defined(_WIN32)
    ,
              public Linux::IRunLoop
#endif
{
 public:
  tresult PLUGIN_API queryInterface(const TUID queried, void** obj) override {
    if (std::memcmp(queried, IPlugFrame_iid, sizeof(TUID)) == 0 ||
        std::memcmp(queried, FUnknown_iid, sizeof(TUID)) == 0) {
      *obj = static_cast<IPlugFrame*>(this);
      return kResultOk;
    }
#if !defined(_WIN32)
    if (std::memcmp(queried, Linux::IRunLoop_iid, sizeof(TUID)) == 0) {
      *obj = static_cast<Linux::IRunLoop*>(this);
      return kResultOk;
    }
#endif
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  tresult PLUGIN_API resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }

#if !defined(_WIN32)
  tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler,
                                          Linux::FileDescriptor fd) override {
    handlers.emplace_back(handler, fd);
    return kResultOk;
  }
  tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override {
    return Erase(handlers, handler);
  }
  tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler,
                                   Linux::TimerInterval milliseconds) override {
    timers.emplace_back(handler, milliseconds);
    return kResultOk;
  }
  tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override {
    return Erase(timers, handler);
  }
  void Run(int turns) {
    for (int i = 0; i < turns; ++i) {
      for (auto& [handler, fd] : handlers) handler->onFDIsSet(fd);
      for (auto& [timer, interval] : timers) timer->onTimer();
    }
  }
  size_t Registered() const { return handlers.size() + timers.size(); }

  std::vector<std::pair<Linux::IEventHandler*, Linux::FileDescriptor>> handlers;
  std::vector<std::pair<Linux::ITimerHandler*, Linux::TimerInterval>> timers;

 private:
  template <typename List, typename Handler>
  static tresult Erase(List& list, Handler* handler) {
    const auto before = list.size();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [handler](const auto& entry) { return entry.first == handler; }),
               list.end());
    return list.size() < before ? kResultOk : kInvalidArgument;
  }
#else
  void Run(int) {}
  size_t Registered() const { return 0; }
#endif
};

size_t OpenDescriptors() {
#if defined(_WIN32)
  return 0;
#else
  size_t n = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++n;
    closedir(dir);
  }
  return n;
#endif
}

class Vst3ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Vst3Module().IsLoaded()) << Vst3Module().Error();
    if (!host.IsOpen()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(plugin.controller);
  }

  IPlugView* Open() {
    IPlugView* view = plugin.controller->createView(Vst::ViewType::kEditor);
    EXPECT_TRUE(view);
    if (!view) return nullptr;
    EXPECT_EQ(view->isPlatformTypeSupported(kWindowType), kResultTrue);
    EXPECT_EQ(view->setFrame(&frame), kResultOk);
    EXPECT_EQ(view->attached(host.Handle(), kWindowType), kResultOk);
    host.Pump();
    return view;
  }

  void ExpectNothingLeft() {
    host.Pump();
    EXPECT_EQ(host.ChildCount(), 0);
    EXPECT_EQ(frame.Registered(), 0u);
  }

  HostWindow host;
  Frame frame;
  Vst3Instance plugin;
};

TEST_F(Vst3ViewTest, OpensInTheHostWindowDrivenByTheHostAndClosesClean) {
  IPlugView* view = Open();
  ASSERT_TRUE(view);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), 488);
  EXPECT_EQ(size.getHeight(), 282);
  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(host.ChildCount(), 1);
  int width = 0;
  int height = 0;
  ASSERT_TRUE(host.FirstChildSize(width, height));
  EXPECT_EQ(width, 488);
  EXPECT_EQ(height, 282);
#if !defined(_WIN32)
  // A timer for the repaint ticks, a handler on the editor's connection.
  ASSERT_EQ(frame.timers.size(), 1u);
  EXPECT_EQ(frame.handlers.size(), 1u);
  EXPECT_LE(frame.timers[0].second, 1000u / 24u);
#endif
  // One panel at a time.
  EXPECT_EQ(plugin.controller->createView(Vst::ViewType::kEditor), nullptr);
  // The host's change reaches the open panel; the loop repaints it.
  plugin.controller->setParamNormalized(2, 0.9);
  frame.Run(5);
  EXPECT_EQ(view->removed(), kResultOk);
  ExpectNothingLeft();
  view->release();
}

TEST_F(Vst3ViewTest, HundredOpenAndCloseCyclesLeaveNothingBehind) {
  // The first opening loads what the editor keeps for later ones.
  IPlugView* first = Open();
  ASSERT_TRUE(first);
  first->removed();
  first->release();
  const size_t descriptors = OpenDescriptors();
  for (int cycle = 0; cycle < 100; ++cycle) {
    IPlugView* view = Open();
    ASSERT_TRUE(view) << cycle;
    ASSERT_EQ(host.ChildCount(), 1) << cycle;
    frame.Run(2);
    view->removed();
    view->release();
    ASSERT_EQ(host.ChildCount(), 0) << cycle;
    ASSERT_EQ(frame.Registered(), 0u) << cycle;
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(Vst3ViewTest, ReleasingThePanelOrThePluginWhileOpenClosesIt) {
  IPlugView* view = Open();
  ASSERT_TRUE(view);
  view->release();  // without removed()
  ExpectNothingLeft();

  auto* other = new Vst3Instance();
  view = other->controller->createView(Vst::ViewType::kEditor);
  ASSERT_TRUE(view);
  view->setFrame(&frame);
  ASSERT_EQ(view->attached(host.Handle(), kWindowType), kResultOk);
  view->removed();
  view->release();
  delete other;
  ExpectNothingLeft();
}

}  // namespace
