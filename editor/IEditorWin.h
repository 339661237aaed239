// The editor's Windows window: a child of the host's window that shows the
// back buffer, drives the repaint tick from a timer, turns mouse and key
// messages into the portable window half's calls (IEditorWindow), shows
// the text entry for a parameter value and opens web pages.
//
// Threads: everything runs on the thread that created the window (the host's
// GUI thread), except the end-of-edit countdown's arming and stopping (see
// IEditorWindow). The process-wide window count is only touched on GUI
// threads.
#pragma once

#include <cstdint>

#include "editor/IEditorWindow.h"

struct HWND__;
struct HINSTANCE__;
struct HFONT__;

class IEditorWin : public IEditorWindow {
 public:
  // fps 0 gives 24 repaints per second.
  IEditorWin(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond);
  ~IEditorWin() override;

  // The module whose window class, child windows and image resources the
  // editor uses; set right after construction.
  void SetModuleInstance(void* instance) { moduleInstance = static_cast<HINSTANCE__*>(instance); }

  // ---- IEditor, [GUI thread] ----
  bool Present(const IBounds& area) override;
  void SetSize(int32_t w, int32_t h) override;
  bool HasWindow() override { return window != nullptr; }
  void EditParameterText(IControl* control, IParameter* parameter) override;
  void HostFolder(IGrowableBuffer& text) override;
  void ModuleFolder(IGrowableBuffer& text) override;
  bool OpenWebPage(const char* address, const char* caption, const char* confirmation,
                   const char* error) override;
  // [GUI thread, from the dispatcher] The host's wheel message; 0 unless the
  // cursor is over this editor's window.
  int32_t HandleHostWheel(float notches) override;
  // Only a Win32 parent; reopening keeps the open window's place.
  void* OpenEditorWindow(const IParentWindow& parent) override;
  // Sends a pending end of edit at once, then destroys the window (and an
  // open entry, uncommitted). Safe to call when closed.
  void CloseEditorWindow() override;
  void* NativeWindow() override { return window; }
  RBitmap* LoadBitmapResource(int32_t id, const char* name) override;

  // ---- For the window procedures [GUI thread] ----
  // Translates one message to the editor window; false when the message is
  // not the editor's (the caller passes it to the default procedure).
  bool HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  // Messages to the entry window; see IEditorWinEntry_win.cpp.
  intptr_t HandleEntryMessage(HWND__* entry, uint32_t message, uintptr_t wParam, intptr_t lParam);
  HWND__* EntryWindow() const { return entryWindow; }
  // The editor whose open window this is, or null.
  static IEditorWin* FromWindow(HWND__* window);

 private:
  // ---- IEditorWindow's hooks ----
  // Invalidates the area, all but the open entry, and paints it at once.
  void RepaintArea(const IBounds& changed) override;
  void ReadEntryText(char* text, int32_t capacity) override;
  void CloseNativeEntry() override;

  void PaintRequested();

  HINSTANCE__* moduleInstance = nullptr;
  HWND__* window = nullptr;
  HWND__* entryWindow = nullptr;
  intptr_t entryPrevProc = 0;
  HFONT__* entryFont = nullptr;
  HWND__* parentWindow = nullptr;
};
