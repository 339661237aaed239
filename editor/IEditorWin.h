// The editor's Windows window: a child of the host's window that shows the
// back buffer, drives the repaint cycle from a timer, turns mouse and key
// messages into the editor's input routing, shows the text entry for a
// parameter value, opens web pages and finishes deferred ends of edits.
//
// Threads: everything runs on the thread that created the window (the host's
// GUI thread), except the end-of-edit countdown's arming and stopping, which
// the plug-in base does with its lock held from any thread (so the countdown
// is atomic). The process-wide window count is only touched on GUI threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/IEditor.h"
#include "editor/IWindowInput.h"

struct HWND__;
struct HINSTANCE__;
struct HFONT__;

class IEditorWin : public IEditor {
 public:
  // fps 0 gives 24 repaints per second.
  IEditorWin(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond);
  ~IEditorWin() override;

  // The module whose window class, child windows and image resources the
  // editor uses; set right after construction.
  void SetModuleInstance(void* instance) { moduleInstance = static_cast<HINSTANCE__*>(instance); }

  // ---- IEditor, [GUI thread] unless noted ----
  bool Present(const IBounds& area) override;
  void SetSize(int32_t w, int32_t h) override;
  bool HasWindow() override { return window != nullptr; }
  // Free-text editing is not used by the effect's controls: no entry opens.
  void EditControlText(IControl*) override {}
  void EditParameterText(IControl* control, IParameter* parameter) override;
  void EditTextInRect(IControl*, const ITextStyle&, const IBounds&, const char*, bool,
                      bool) override {}
  void HostFolder(IGrowableBuffer& text) override;
  void ModuleFolder(IGrowableBuffer& text) override;
  // File and colour dialogs are not used by the effect: nothing is chosen.
  void AskForFile(IGrowableBuffer&, int32_t, const char*, const char*) override {}
  bool AskForColour(IRgba&, const char*) override { return false; }
  bool OpenWebPage(const char* address, const char* caption, const char* confirmation,
                   const char* error) override;
  // [GUI thread, from the dispatcher] The host's wheel message; 0 unless the
  // cursor is over this editor's window.
  int32_t HandleHostWheel(float notches) override;
  // [any thread, plug-in lock held]
  void StartEndEditCountdown(int32_t ticks) override { endEditCountdown.store(ticks); }
  void StopEndEditCountdown() override { endEditCountdown.store(0); }
  void* OpenEditorWindow(void* parentWindow) override;
  // Sends a pending end of edit at once, then destroys the window (and an
  // open entry, uncommitted). Safe to call when closed.
  void CloseEditorWindow() override;
  void* NativeWindow() override { return window; }
  RBitmap* LoadBitmapResource(int32_t id, const char* name) override;

  // ---- For the window procedures [GUI thread] ----
  // One timer tick: the entry's pending commit or cancel, the repaint, the
  // end-of-edit countdown.
  void Tick();
  // Translates one message to the editor window; false when the message is
  // not the editor's (the caller passes it to the default procedure).
  bool HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  // Messages to the entry window; see IEditorWinEntry_win.cpp.
  intptr_t HandleEntryMessage(HWND__* entry, uint32_t message, uintptr_t wParam, intptr_t lParam);
  HWND__* EntryWindow() const { return entryWindow; }
  // The editor whose open window this is, or null.
  static IEditorWin* FromWindow(HWND__* window);

  // The entry's state: idle (has been read), active (focus or a key),
  // cancel or commit requested for the next tick.
  enum IEntryState : int32_t {
    kEntryIdle = 0,
    kEntryActive = 1,
    kEntryCancel = 2,
    kEntryCommit = 3
  };

 private:
  void PaintRequested();
  void RepaintChanged();
  void CountDownEndOfEdit();
  void CommitEntry();
  void CloseEntry();
  void ButtonPressed(int32_t x, int32_t y, const IMouseKeys& keys);
  void ButtonReleased(int32_t x, int32_t y, const IMouseKeys& keys);
  void WheelTurned(int32_t screenX, int32_t screenY, int32_t delta, const IMouseKeys& keys);

  HINSTANCE__* moduleInstance = nullptr;
  HWND__* window = nullptr;
  HWND__* entryWindow = nullptr;
  IControl* entryControl = nullptr;
  IParameter* entryParam = nullptr;
  intptr_t entryPrevProc = 0;
  HFONT__* entryFont = nullptr;
  int32_t entryState = kEntryIdle;
  std::atomic<int32_t> endEditCountdown{0};
  HWND__* parentWindow = nullptr;
  // A press reached the editor and its release has not: releases without a
  // press (the right-click that cancelled an entry, a press that began in
  // another window) go nowhere, so every end of a gesture has its begin.
  bool pressForwarded = false;
  IWheelAccumulator wheel;
};
