// What the plug-in base and the format binding need of an attached editor.
// The editor framework's editor class implements it; the base owns the
// attached editor and destroys it through this interface.
#pragma once

#include <cstdint>

class IEditorSeam {
 public:
  // The host's mouse-wheel extension; returns whether the wheel was used.
  virtual int32_t HandleHostWheel(float /*notches*/) { return 0; }
  // Arms (or re-arms) the countdown after which the deferred end of an edit
  // gesture is sent; ticks are repaint-timer ticks.
  virtual void StartEndEditCountdown(int32_t ticks) = 0;
  virtual void StopEndEditCountdown() = 0;
  // Creates the editor window as a child of the host's window; returns the
  // native window, or null.
  virtual void* OpenEditorWindow(void* parentWindow) = 0;
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
