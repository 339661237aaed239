// Pairs the button releases a window passes on with the presses it passed
// on. A release without its press goes nowhere: the right-click that
// cancelled an open entry, a press that began in another window, a release
// after the window was closed and opened again. So the editor sees every end
// of a gesture after its begin, and drags only between the two.
// [GUI thread]
#pragma once

class IPressPairing {
 public:
  // A press (or a double-click taken as one) reached the editor.
  void Pressed() { held = true; }
  // True when this release has its press, which it then ends.
  bool Released() {
    const bool had = held;
    held = false;
    return had;
  }
  // Between a press that reached the editor and its release.
  bool Held() const { return held; }
  void Reset() { held = false; }

 private:
  bool held = false;
};
