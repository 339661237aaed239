// What the plug-in base and the format binding need of an attached editor.
// The editor framework's editor class implements it; the base owns the
// attached editor and destroys it through this interface.
//
// The editor's life, in the order a host drives it. "GUI thread" is the
// thread the host opens the editor on (a VST 2.4 host's user-interface
// thread; the page's own thread on the web); a window's events and ticks
// run there too.
//  1. Attach [constructing thread]: the effect builds the editor and its
//     controls and hands it to IEffectBase::AttachEditor, which takes the
//     plug-in lock, shows every parameter's value (ShowParameterValue) and
//     calls CreateBackBuffer. From here the base owns the editor.
//  2. Size [host thread, lock held]: the binding reports Width and Height
//     (effEditGetRect) before the window opens.
//  3. Open [GUI thread, lock held]: the binding calls OpenEditorWindow with
//     the host's window (effEditOpen), then IEffectBase::EditorOpened. The
//     editor makes its window a child of the parent and marks every control
//     for the first paint. A null result means no window; the host is told.
//     Opening an open editor closes the old window first.
//  4. Tick and idle [GUI thread, no lock]: the window's timer (Windows, the
//     page) or the host's idle call (Idle, for VST 2.4 effEditIdle; X11)
//     runs the repaint tick FramesPerSecond times a second: a typed entry's
//     commit or cancel, the repaint of what changed, the end-of-edit
//     countdown. The window's input events arrive between ticks. Neither
//     holds the lock: the editor takes it where it reaches the plug-in (the
//     begin, automate and end requests to the host), so a repaint never
//     stalls the audio thread.
//  5. Host value changes [any host thread, lock held]: a parameter set by
//     the host, a program or a state load calls ShowParameterValue; the
//     controls take the values at the next tick or input event on the GUI
//     thread. The host's wheel (HandleHostWheel) comes through the binding
//     on the GUI thread, lock held.
//  6. End of an edit [GUI thread arms, any thread stops; lock held]: a
//     gesture that ends later (a wheel turn) arms the countdown with
//     StartEndEditCountdown; the tick that brings it to zero sends the end,
//     and an earlier flush (a new gesture, closing) stops it.
//  7. Close [GUI thread, lock held]: the binding calls
//     IEffectBase::EditorClosing, then CloseEditorWindow (effEditClose, and
//     when the plug-in is destroyed with its editor open). A pending end of
//     edit goes to the host at once, an open entry closes uncommitted, the
//     window is destroyed. The editor may open again (step 3).
//  8. Destroy [the thread destroying the plug-in]: the base deletes the
//     editor with the plug-in; a window still open closes as in step 7.
#pragma once

#include <cstdint>

#include "framework/IParentWindow.h"

class IEditorSeam {
 public:
  // The host's mouse-wheel extension; returns whether the wheel was used.
  virtual int32_t HandleHostWheel(float /*notches*/) { return 0; }
  // Arms (or re-arms) the countdown after which the deferred end of an edit
  // gesture is sent; ticks are repaint-timer ticks.
  virtual void StartEndEditCountdown(int32_t ticks) = 0;
  virtual void StopEndEditCountdown() = 0;
  // Creates the editor window as a child of the host's window; returns the
  // native window, or null (also for a window of a system the editor does
  // not draw in).
  virtual void* OpenEditorWindow(const IParentWindow& parent) = 0;
  virtual void CloseEditorWindow() = 0;
  // The host's idle call while the editor is open (VST 2.4 effEditIdle).
  // Where no window timer drives the editor (X11), it handles the window's
  // events and runs the repaint tick when one is due; elsewhere nothing.
  // [GUI thread, no lock held]
  virtual void Idle() {}
  virtual ~IEditorSeam() = default;

  // Passes a parameter's value (normalised or in parameter units) to the
  // controls bound to it. Called with the plug-in lock held.
  virtual void ShowParameterValue(int32_t paramIdx, double value, bool isNormalised) = 0;
  virtual void CreateBackBuffer() = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // Repaint checks per second.
  virtual int32_t FramesPerSecond() const = 0;
};
