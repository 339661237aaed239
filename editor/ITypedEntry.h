// The typed entry for a parameter value as the window's tick sees it: which
// control and parameter it is for, and what the user asked of it since the
// last tick. The window shows the entry in its own way (a native field, a
// field the editor draws, an input on a page) and turns its events into
// requests; the tick then commits (IEditor::CommitTypedText) or closes the
// entry. Deciding at the tick, not in the event, keeps a commit out of the
// window system's message handling (where a host may be inside a call of its
// own) and orders it after the press that asked for it, as on every window.
//
// Requests: idle (nothing asked), active (the entry has the focus or a key
// was typed; the tick takes it back to idle and does nothing else), cancel
// (close, the value unchanged), commit (apply the typed text, then close).
// A later request replaces an earlier one. [GUI thread]
#pragma once

#include <cstdint>

class IControl;
class IParameter;

class ITypedEntry {
 public:
  enum IRequest : int32_t { kIdle = 0, kActive = 1, kCancel = 2, kCommit = 3 };
  // The longest text a commit reads from the window's entry.
  static constexpr int32_t kLongestText = 1000;

  bool IsOpen() const { return control != nullptr; }
  // The window has put up its entry for the control; nothing is requested.
  void Opened(IControl* entryControl, IParameter* entryParameter);
  // Forgets the entry; returns its control (null when none was open).
  IControl* Closed();

  void Request(IRequest what) { request = what; }
  IRequest Pending() const { return request; }
  IControl* Control() const { return control; }
  IParameter* Parameter() const { return parameter; }

  // A button pressed in the window while the entry is open: a right press
  // cancels it and goes no further (true); a left press commits it and goes
  // on to the editor (false). With no entry open every press goes on.
  bool TakesPress(bool rightButton);

 private:
  IControl* control = nullptr;
  IParameter* parameter = nullptr;
  IRequest request = kIdle;
};
