// The X11 editor window's recurring costs, with the effect's layout in a
// host window on the display (run it through scripts/x-display): showing
// the whole panel (XPutImage of 488 x 282 pixels, sent to the server), and
// a host's idle call when no tick is due (the event check and a flush).
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include "editor/IEditorX11.h"
#include "tests/editor/EditorTestPlugin.h"
#include "tests/editor/TestLayout.h"

namespace {

struct OpenX11Editor {
  OpenX11Editor() : display(XOpenDisplay(nullptr)) {
    editor = new IEditorX11(&plugin, 488, 282, 0);
    TestLayout::Build(*editor, &plugin);
    plugin.AttachEditor(editor);
    if (!display) return;
    host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 488, 282, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    opened = editor->OpenEditorWindow(IParentWindow::X11(host)) != nullptr;
    editor->Idle();  // the first tick paints everything
  }
  ~OpenX11Editor() {
    editor->CloseEditorWindow();
    if (display) {
      XDestroyWindow(display, host);
      XCloseDisplay(display);
    }
  }
  EditorTestPlugin plugin;
  IEditorX11* editor;  // owned by the plug-in
  Display* display;
  Window host = 0;
  bool opened = false;
};

void BM_X11PresentWholePanel(benchmark::State& state) {
  OpenX11Editor open;
  if (!open.opened) return state.SkipWithError("no X display");
  for (auto _ : state) {
    open.editor->Present(IBounds{0, 0, 488, 282});
    open.editor->Idle();  // sends it (and ticks at most 24 times a second)
  }
}
BENCHMARK(BM_X11PresentWholePanel)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_X11IdleNothingDue(benchmark::State& state) {
  OpenX11Editor open;
  if (!open.opened) return state.SkipWithError("no X display");
  for (auto _ : state) open.editor->Idle();
}
BENCHMARK(BM_X11IdleNothingDue)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
