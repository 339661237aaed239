// The editor's window in a web page: the page's canvas shows the back
// buffer, the page's timer drives the repaint cycle, and its mouse, wheel
// and key events arrive here as the same editor calls the native windows
// make. The parameter entry is an HTML input the page lays over the control;
// web pages open in a new tab of the browser.
//
// Threads: everything runs on the page's thread (the GUI thread); the page
// has no other thread that reaches the panel's instance.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/IEditor.h"
#include "editor/IWindowInput.h"

class IEditorWeb : public IEditor {
 public:
  // fps 0 gives 24 repaints per second.
  IEditorWeb(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond);
  ~IEditorWeb() override;

  // ---- IEditor [GUI thread] ----
  // Turns the area of the back buffer into the page's RGBA image and adds it
  // to the area the page copies to its canvas.
  bool Present(const IBounds& area) override;
  void EditControlText(IControl*) override {}
  // Asks the page for an input field centred on the control, as wide as the
  // parameter's longest value, holding the control's value text.
  void EditParameterText(IControl* control, IParameter* parameter) override;
  void EditTextInRect(IControl*, const ITextStyle&, const IBounds&, const char*, bool,
                      bool) override {}
  // A page has no folders, files or colour dialogs the effect could use.
  void HostFolder(IGrowableBuffer& text) override;
  void ModuleFolder(IGrowableBuffer& text) override;
  void AskForFile(IGrowableBuffer&, int32_t, const char*, const char*) override {}
  bool AskForColour(IRgba&, const char*) override { return false; }
  // A new tab; a page the browser blocks returns false without a word.
  bool OpenWebPage(const char* address, const char* caption, const char* confirmation,
                   const char* error) override;
  void StartEndEditCountdown(int32_t ticks) override { endEditCountdown = ticks; }
  void StopEndEditCountdown() override { endEditCountdown = 0; }
  // The page's canvas is the window: opening marks every control, so the
  // first tick paints the panel whole. The parent is not used.
  void* OpenEditorWindow(void* parentWindow) override;
  // Sends a pending end of edit at once and closes an open entry
  // uncommitted.
  void CloseEditorWindow() override;
  void* NativeWindow() override { return open ? this : nullptr; }
  // The module's embedded image file of that name (the id is the Windows
  // resource's, not needed here).
  RBitmap* LoadBitmapResource(int32_t id, const char* name) override;

  // ---- Events from the page [GUI thread], in editor pixels ----
  // The repaint timer: paints what changed and counts down a deferred end
  // of edit.
  void Tick();
  // flags as a Windows mouse message's key-state word (bit 0 left, bit 1
  // right, bit 2 shift, bit 3 control).
  void ButtonPressed(int32_t x, int32_t y, uint32_t flags, bool alt);
  void ButtonReleased(int32_t x, int32_t y, uint32_t flags, bool alt);
  void DoubleClicked(int32_t x, int32_t y, uint32_t flags, bool alt);
  void MouseMoved(int32_t x, int32_t y, uint32_t flags, bool alt);
  // delta in Windows wheel units (120 a notch, positive away from the user).
  void WheelTurned(int32_t x, int32_t y, int32_t delta, uint32_t flags, bool alt);
  // virtualKey is the key's Windows code (the DOM's keyCode).
  void KeyPressed(int32_t x, int32_t y, int32_t virtualKey);
  // The typed text of the open entry is applied, as Enter or a left click
  // does; cancelling closes it unchanged, as a right click does.
  void CommitEntry(const char* text);
  void CancelEntry();

  // ---- The page's image ----
  // width x height RGBA bytes, opaque.
  const uint8_t* Rgba() const { return rgba.data(); }
  // The area presented since the last call (empty when none), and resets it.
  IBounds TakePresentedArea();

 private:
  void CloseEntry();

  std::vector<uint8_t> rgba;
  IBounds presented;
  IControl* entryControl = nullptr;
  IParameter* entryParam = nullptr;
  int32_t endEditCountdown = 0;
  bool open = false;
  // A press reached the editor and its release has not (see IEditorWin).
  bool pressForwarded = false;
  IWheelAccumulator wheel;
};
