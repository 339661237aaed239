// Values from a host thread while the GUI thread paints and turns a knob:
// the hand-over is lock-free on the GUI side and must be clean under
// ThreadSanitizer, and the last value shown must win.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/IControl.h"
#include "platform/PluginLock.h"
#include "tests/editor/EditorTestImages.h"
#include "tests/editor/EditorTestPlugin.h"
#include "tests/editor/HeadlessEditor.h"
#include "tests/editor/TestLayout.h"

namespace {

TEST(EditorThreads, HostValuesArriveWhileTheGuiThreadPaints) {
  EditorTestPlugin plugin;
  auto* editor = new HeadlessEditor(&plugin, TestImageFolder());
  TestLayout::Build(*editor, &plugin);
  plugin.AttachEditor(editor);

  std::atomic<bool> guiDone{false};
  std::atomic<int32_t> hostRounds{0};
  // As the binding's setParameter does: under the lock, show the value,
  // then set the parameter.
  std::thread host([&] {
    for (int i = 0; !guiDone; ++i) {
      {
        PluginLockGuard guard(plugin.Lock());
        const double v = (i % 101) / 100.0;
        for (int32_t p = 0; p < plugin.ParameterCount(); ++p) {
          editor->ShowParameterValue(p, v, true);
          plugin.ParameterAt(p)->SetFromNormalized(v);
        }
      }
      ++hostRounds;
      std::this_thread::yield();  // let the GUI thread's pushes take the lock too
    }
  });
  int32_t paints = 0;
  // Paint until the host thread has delivered values for a while: a slow
  // thread start (Wine) must not leave the GUI loop with nothing to paint.
  for (int i = 0; i < 300 || hostRounds < 100; ++i) {
    paints += editor->Tick() ? 1 : 0;
    editor->HandleWheel(49, 177, {}, 1);
  }
  guiDone = true;
  host.join();
  EXPECT_GT(paints, 0);

  for (int32_t p = 0; p < plugin.ParameterCount(); ++p) editor->ShowParameterValue(p, 0.3, true);
  editor->Tick();
  for (int32_t i = TestLayout::LowDrive; i < TestLayout::Count; ++i) {
    EXPECT_DOUBLE_EQ(editor->ControlAt(i)->value, 0.3) << i;
  }
}

}  // namespace
