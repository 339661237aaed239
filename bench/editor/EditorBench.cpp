// The editor's two recurring costs in the headless editor with the effect's
// layout (488 x 282, eleven controls with their value texts): a full
// repaint, as after the window opens, and the repaint check of a timer tick
// when nothing changed.
#include <benchmark/benchmark.h>

#include "tests/editor/EditorTestImages.h"
#include "tests/editor/EditorTestPlugin.h"
#include "tests/editor/HeadlessEditor.h"
#include "tests/editor/TestLayout.h"

namespace {

struct AttachedEditor {
  AttachedEditor() {
    editor = new HeadlessEditor(&plugin, TestImageFolder());
    TestLayout::Build(*editor, &plugin);
    plugin.AttachEditor(editor);
    while (editor->Tick()) {
    }
    editor->presented.reserve(1 << 20);
  }
  EditorTestPlugin plugin;
  HeadlessEditor* editor;  // owned by the plug-in
};

void BM_FullRepaint(benchmark::State& state) {
  AttachedEditor attached;
  HeadlessEditor& editor = *attached.editor;
  for (auto _ : state) {
    editor.MarkAllControlsChanged();
    IBounds area;
    editor.CollectChangedArea(area);
    benchmark::DoNotOptimize(editor.PaintInvalid(area));
    if (editor.presented.size() > (1 << 19)) editor.presented.clear();
  }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
  AttachedEditor attached;
  HeadlessEditor& editor = *attached.editor;
  for (auto _ : state) benchmark::DoNotOptimize(editor.Tick());
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

}  // namespace
