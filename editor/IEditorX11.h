// The editor's X11 window: a child of the window the host hands to
// effEditOpen (an XID), on a display connection of the editor's own. The
// host's idle calls (effEditIdle) drive it: each handles the window's
// pending events and runs the repaint tick when one is due (IIdleTicker), so
// it needs no thread and no timer. Mouse, wheel and keys become the same
// editor calls as on Windows; the parameter entry is a text field the editor
// draws itself (ITextField); web pages open through xdg-open.
//
// Threads: everything runs on the host's GUI thread, except the end-of-edit
// countdown's arming and stopping, which the plug-in base does with its lock
// held from any thread (so the countdown is atomic). X errors on the
// editor's connection (the host destroyed its window first, say) are caught
// while the editor works on it and make it stop drawing, never end the
// process.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/IEditor.h"
#include "editor/IIdleTicker.h"
#include "editor/ITextField.h"
#include "editor/IWindowInput.h"

struct _XDisplay;
union _XEvent;
struct _XGC;

class IEditorX11 : public IEditor {
 public:
  // fps 0 gives 24 repaints per second.
  IEditorX11(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond);
  ~IEditorX11() override;

  // ---- IEditor, [GUI thread] unless noted ----
  bool Present(const IBounds& area) override;
  // Resizes the back buffer and the window; the host's window is the
  // host's. The effect's editor has a fixed size and never calls it.
  void SetSize(int32_t w, int32_t h) override;
  // Free-text editing, dialogs and folders are not used by the effect's
  // controls: none opens, folders are empty.
  void EditControlText(IControl*) override {}
  void EditParameterText(IControl* control, IParameter* parameter) override;
  void EditTextInRect(IControl*, const ITextStyle&, const IBounds&, const char*, bool,
                      bool) override {}
  void HostFolder(IGrowableBuffer& text) override;
  void ModuleFolder(IGrowableBuffer& text) override;
  void AskForFile(IGrowableBuffer&, int32_t, const char*, const char*) override {}
  bool AskForColour(IRgba&, const char*) override { return false; }
  // Starts xdg-open with the address; the confirmation and error texts are
  // not shown (the effect passes none).
  bool OpenWebPage(const char* address, const char* caption, const char* confirmation,
                   const char* error) override;
  // [any thread, plug-in lock held]
  void StartEndEditCountdown(int32_t ticks) override { endEditCountdown.store(ticks); }
  void StopEndEditCountdown() override { endEditCountdown.store(0); }
  // parentWindow is the host's XID. Returns the editor's XID, or null when
  // there is no display, no usable visual or no such parent.
  void* OpenEditorWindow(void* parentWindow) override;
  // Sends a pending end of edit at once, closes an open entry uncommitted,
  // destroys the window and closes the connection. Safe to call when closed,
  // and after the host destroyed its window.
  void CloseEditorWindow() override;
  void* NativeWindow() override;
  void Idle() override;
  // The image compiled into the module under this id.
  RBitmap* LoadBitmapResource(int32_t id, const char* name) override;

 private:
  enum IEntryState : int32_t { kEntryIdle, kEntryCommit, kEntryCancel };

  bool CreateWindow(unsigned long parent);
  void HandleEvent(_XEvent& event);
  void ButtonPressed(int32_t button, int32_t x, int32_t y, uint32_t state, unsigned long time);
  void ButtonReleased(int32_t button, int32_t x, int32_t y, uint32_t state);
  void KeyPressed(_XEvent& event);
  void EntryKeyPressed(unsigned long keysym, char typed);
  void Tick();
  void CountDownEndOfEdit();
  void CloseEntry();
  void FocusEntry(bool take);

  _XDisplay* display = nullptr;
  unsigned long window = 0;
  _XGC* gc = nullptr;
  // The host destroyed its window (and ours with it), or the server
  // refused a request on it: nothing is drawn any more.
  bool windowGone = false;
  // Areas to paint at the next tick: exposed, or under the entry.
  IBounds stale;
  ITextField entry;
  IControl* entryControl = nullptr;
  IParameter* entryParam = nullptr;
  int32_t entryState = kEntryIdle;
  unsigned long focusBeforeEntry = 0;
  int focusRevertBeforeEntry = 0;
  std::atomic<int32_t> endEditCountdown{0};
  IIdleTicker ticker;
  IDoubleClickDetector doubleClicks;
  // A press reached the editor and its release has not: releases without a
  // press (the right-click that cancelled an entry) go nowhere, so every end
  // of a gesture has its begin.
  bool pressForwarded = false;
};
