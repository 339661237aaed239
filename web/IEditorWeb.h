// The editor's window in a web page: the page's canvas shows the back
// buffer, the page's timer drives the repaint tick, and its mouse, wheel and
// key events arrive here, in the editor's mouse keys (IMouseKeys bits) and
// key codes (IKeyCodes.h), as calls of the portable window half
// (IEditorWindow). The parameter entry is an HTML input the page lays over
// the control; web pages open in a new tab of the browser.
//
// Threads: everything runs on the page's thread (the GUI thread); the page
// has no other thread that reaches the panel's instance.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/IEditorWindow.h"

class IEditorWeb : public IEditorWindow {
 public:
  // fps 0 gives 24 repaints per second.
  IEditorWeb(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond);
  ~IEditorWeb() override;

  // ---- IEditor [GUI thread] ----
  // Turns the area of the back buffer into the page's RGBA image and adds it
  // to the area the page copies to its canvas.
  bool Present(const IBounds& area) override;
  // Asks the page for an input field centred on the control, as wide as the
  // parameter's longest value, holding the control's value text.
  void EditParameterText(IControl* control, IParameter* parameter) override;
  // A new tab; a page the browser blocks returns false without a word.
  bool OpenWebPage(const char* address, const char* caption, const char* confirmation,
                   const char* error) override;
  // The page's canvas is the window: opening marks every control, so the
  // first tick paints the panel whole. The parent names no window.
  void* OpenEditorWindow(const IParentWindow& parent) override;
  // Sends a pending end of edit at once and closes an open entry
  // uncommitted.
  void CloseEditorWindow() override;
  void* NativeWindow() override { return open ? this : nullptr; }
  // The module's embedded image file of that name (the id is the Windows
  // resource's, not needed here).
  RBitmap* LoadBitmapResource(int32_t id, const char* name) override;

  // ---- Events from the page [GUI thread], in editor pixels; keys are
  // IMouseKeys bits ----
  void ButtonPressed(int32_t x, int32_t y, bool rightButton, uint32_t keys);
  void ButtonReleased(int32_t x, int32_t y, uint32_t keys);
  void DoubleClicked(int32_t x, int32_t y, uint32_t keys);
  void MouseMoved(int32_t x, int32_t y, uint32_t keys);
  // delta in wheel units (120 a notch, positive away from the user).
  void WheelTurned(int32_t x, int32_t y, int32_t delta, uint32_t keys);
  // code is the editor's key code.
  void KeyPressed(int32_t x, int32_t y, int32_t code);
  // Enter and Escape in the page's entry: the next tick commits the typed
  // text or closes the entry unchanged.
  void CommitEntry() { entry.Request(ITypedEntry::kCommit); }
  void CancelEntry() { entry.Request(ITypedEntry::kCancel); }

  // ---- The page's image ----
  // width x height RGBA bytes, opaque.
  const uint8_t* Rgba() const { return rgba.data(); }
  // The area presented since the last call (empty when none), and resets it.
  IBounds TakePresentedArea();

 private:
  // ---- IEditorWindow's hooks ----
  void RepaintArea(const IBounds& changed) override;
  // The page's input: its text, and taking it off the page.
  void ReadEntryText(char* text, int32_t capacity) override;
  void CloseNativeEntry() override;

  std::vector<uint8_t> rgba;
  IBounds presented;
  bool open = false;
};
