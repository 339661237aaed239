// The portable half of every editor window (Windows, X11, the web page's
// canvas, and whatever drives the editor next): what happens between the
// window system's events and the editor, once. A window derives from it and
// keeps only the translation from its own events and handles into these
// calls, and supplies the hooks below.
//
// Made of small parts, each with its own rule: press and release pairing
// (IPressPairing), wheel notches (IWheelAccumulator), the typed entry's
// requests (ITypedEntry) and the end-of-edit countdown (IEndEditCountdown).
// The tick runs them in one order on every window: the entry's request
// first (so a commit asked for by a click is painted in the same tick), then
// the repaint, then the countdown.
//
// Threads: everything on the GUI thread, except the countdown's arming and
// stopping (any thread, plug-in lock held).
#pragma once

#include <cstdint>

#include "editor/IEditor.h"
#include "editor/IEndEditCountdown.h"
#include "editor/IPressPairing.h"
#include "editor/ITypedEntry.h"
#include "editor/IWindowInput.h"

class IEditorWindow : public IEditor {
 public:
  // fps 0 gives 24 repaints per second.
  IEditorWindow(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond);

  // ---- IEditor services no window offers: the effect's controls do not
  // use free-text editing, file or colour dialogs; nothing opens, nothing
  // is chosen. Folders are empty unless the window knows them. ----
  void EditControlText(IControl*) override {}
  void EditTextInRect(IControl*, const ITextStyle&, const IBounds&, const char*, bool,
                      bool) override {}
  void AskForFile(IGrowableBuffer&, int32_t, const char*, const char*) override {}
  bool AskForColour(IRgba&, const char*) override { return false; }
  void HostFolder(IGrowableBuffer& text) override;
  void ModuleFolder(IGrowableBuffer& text) override;
  // [any thread, plug-in lock held]
  void StartEndEditCountdown(int32_t ticks) override { endEdit.Start(ticks); }
  void StopEndEditCountdown() override { endEdit.Stop(); }

  // One repaint tick, while the window is open: the entry's pending commit
  // or cancel, the repaint of what changed, the end-of-edit countdown.
  void Tick();

 protected:
  // ---- The hooks a window supplies ----
  // Presents (or invalidates, for the window system to ask for a paint) the
  // area the controls changed since the last tick; empty when none did. A
  // window with areas of its own to paint adds them here.
  virtual void RepaintArea(const IBounds& changed) = 0;
  // Reads the open entry's text into text (capacity bytes, NUL-ended), and
  // takes the entry off the screen; only for a window that has an entry.
  virtual void ReadEntryText(char* text, int32_t capacity);
  virtual void CloseNativeEntry() {}

  // ---- What the window's translation calls, in editor pixels ----
  // True when the press stops at the open entry (see ITypedEntry).
  bool EntryTakesPress(bool rightButton) { return entry.TakesPress(rightButton); }
  void ForwardPress(int32_t x, int32_t y, const IMouseKeys& keys);
  // A release without its press goes nowhere.
  void ForwardRelease(int32_t x, int32_t y, const IMouseKeys& keys);
  // True when the double-click was taken as a press; its release ends it.
  bool ForwardDoubleClick(int32_t x, int32_t y, const IMouseKeys& keys);
  // Moves between a forwarded press and its release.
  void ForwardDrag(int32_t x, int32_t y, const IMouseKeys& keys);
  // delta in wheel units (IWheelAccumulator::kDeltaPerNotch a notch,
  // positive away from the user); whole notches only reach the editor.
  void ForwardWheel(int32_t x, int32_t y, const IMouseKeys& keys, int32_t delta);
  // The window put up its entry for the control.
  void EntryOpened(IControl* control, IParameter* parameter) { entry.Opened(control, parameter); }
  // Closes the open entry uncommitted: its control shows its value again.
  void CloseEntry();
  // The window is closing: a pending end of edit goes at once, an open entry
  // closes uncommitted, and no press or partial notch outlives the window.
  void CloseWindowHalf();

  ITypedEntry entry;

 private:
  IPressPairing press;
  IWheelAccumulator wheel;
  IEndEditCountdown endEdit;
};
