#include "editor/IEditorWindow.h"

#include "editor/IControl.h"
#include "framework/IGrowableBuffer.h"

IEditorWindow::IEditorWindow(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond)
    : IEditor(owner, w, h, framesPerSecond) {}

void IEditorWindow::HostFolder(IGrowableBuffer& text) {
  text.Resize(0, false);
  text.Append("", 1);
}

void IEditorWindow::ModuleFolder(IGrowableBuffer& text) { HostFolder(text); }

void IEditorWindow::ReadEntryText(char* text, int32_t capacity) {
  if (capacity > 0) text[0] = '\0';
}

void IEditorWindow::Tick() {
  if (!HasWindow()) return;
  if (entry.IsOpen()) {
    switch (entry.Pending()) {
      case ITypedEntry::kCommit: {
        char text[ITypedEntry::kLongestText + 1] = {};
        ReadEntryText(text, sizeof text);
        CommitTypedText(entry.Control(), entry.Parameter(), text);
        CloseEntry();
        break;
      }
      case ITypedEntry::kCancel:
        CloseEntry();
        break;
      case ITypedEntry::kActive:
        entry.Request(ITypedEntry::kIdle);
        break;
      case ITypedEntry::kIdle:
        break;
    }
  }
  IBounds changed;
  CollectChangedArea(changed);
  RepaintArea(changed);
  endEdit.Tick(plugin);
}

void IEditorWindow::ForwardPress(int32_t x, int32_t y, const IMouseKeys& keys) {
  press.Pressed();
  HandleMousePress(x, y, keys);
}

void IEditorWindow::ForwardRelease(int32_t x, int32_t y, const IMouseKeys& keys) {
  if (press.Released()) HandleMouseRelease(x, y, keys);
}

bool IEditorWindow::ForwardDoubleClick(int32_t x, int32_t y, const IMouseKeys& keys) {
  const bool taken = HandleDoubleClick(x, y, keys);
  press.Pressed();  // a begun edit ends with the release
  return taken;
}

void IEditorWindow::ForwardDrag(int32_t x, int32_t y, const IMouseKeys& keys) {
  if (press.Held()) HandleMouseDrag(x, y, keys);
}

void IEditorWindow::ForwardWheel(int32_t x, int32_t y, const IMouseKeys& keys, int32_t delta) {
  const int32_t notches = wheel.Add(delta);
  if (notches != 0) HandleWheel(x, y, keys, notches);
}

void IEditorWindow::CloseEntry() {
  if (!entry.IsOpen()) return;
  if (IControl* control = entry.Closed()) control->EndTextEntry();
  CloseNativeEntry();
}

void IEditorWindow::CloseWindowHalf() {
  endEdit.FlushAtClose(plugin);
  CloseEntry();
  press.Reset();
  wheel.Reset();
}
