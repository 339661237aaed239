// The editor's X11 window: a child of the window the host hands to
// effEditOpen (an XID), on a display connection of the editor's own. The
// host's idle calls (effEditIdle) drive it: each handles the window's
// pending events and runs the repaint tick when one is due (IIdleTicker), so
// it needs no thread and no timer. Mouse, wheel and keys become the portable
// window half's calls (IEditorWindow), in the editor's own key codes and
// mouse keys; the parameter entry is a text field the editor draws itself
// (ITextField); web pages open through xdg-open.
//
// Threads: everything runs on the host's GUI thread, except the end-of-edit
// countdown's arming and stopping (see IEditorWindow). X errors on the
// editor's connection (the host destroyed its window first, say) are caught
// while the editor works on it and make it stop drawing, never end the
// process.
#pragma once

#include <cstdint>

#include "editor/IEditorWindow.h"
#include "editor/IIdleTicker.h"
#include "editor/ITextField.h"

struct _XDisplay;
union _XEvent;
struct _XGC;

class IEditorX11 : public IEditorWindow {
 public:
  // fps 0 gives 24 repaints per second.
  IEditorX11(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond);
  ~IEditorX11() override;

  // ---- IEditor, [GUI thread] unless noted ----
  bool Present(const IBounds& area) override;
  // Resizes the back buffer and the window; the host's window is the
  // host's. The effect's editor has a fixed size and never calls it.
  void SetSize(int32_t w, int32_t h) override;
  void EditParameterText(IControl* control, IParameter* parameter) override;
  // Starts xdg-open with the address; the confirmation and error texts are
  // not shown (the effect passes none).
  bool OpenWebPage(const char* address, const char* caption, const char* confirmation,
                   const char* error) override;
  // Only an X11 parent. Returns the editor's XID, or null when there is no
  // display, no usable visual or no such parent.
  void* OpenEditorWindow(const IParentWindow& parent) override;
  // Sends a pending end of edit at once, closes an open entry uncommitted,
  // destroys the window and closes the connection. Safe to call when closed,
  // and after the host destroyed its window.
  void CloseEditorWindow() override;
  void* NativeWindow() override;
  void Idle() override;
  // The image compiled into the module under this id.
  RBitmap* LoadBitmapResource(int32_t id, const char* name) override;

 private:
  // ---- IEditorWindow's hooks ----
  // Paints the changed area and the window's stale areas in one pass.
  void RepaintArea(const IBounds& changed) override;
  void ReadEntryText(char* text, int32_t capacity) override;
  void CloseNativeEntry() override;

  bool CreateWindow(unsigned long parent);
  void HandleEvent(_XEvent& event);
  void ButtonPressed(int32_t button, int32_t x, int32_t y, uint32_t state, unsigned long time);
  void ButtonReleased(int32_t button, int32_t x, int32_t y, uint32_t state);
  void KeyPressed(_XEvent& event);
  void FieldKeyPressed(unsigned long keysym, char typed);
  void FocusEntry(bool take);

  _XDisplay* display = nullptr;
  unsigned long window = 0;
  _XGC* gc = nullptr;
  // The host destroyed its window (and ours with it), or the server
  // refused a request on it: nothing is drawn any more.
  bool windowGone = false;
  // Areas to paint at the next tick: exposed, or under the entry.
  IBounds stale;
  // The entry as the editor draws it.
  ITextField field;
  unsigned long focusBeforeEntry = 0;
  int focusRevertBeforeEntry = 0;
  IIdleTicker ticker;
  IDoubleClickDetector doubleClicks;
};
