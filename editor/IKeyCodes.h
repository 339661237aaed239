// The editor's key codes: what a window passes to IEditor::HandleKey and
// controls receive (IControl::KeyPressed). Each window turns its own keys
// into these (Windows virtual keys, X11 key symbols, the page's DOM keys);
// the codes are the editor's, not any window system's.
#pragma once

#include <cstdint>

enum IKeyCode : int32_t {
  kKeyNone = -1,  // a key the window does not pass on
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,   // '0' to '9': 5 to 14
  kKeyLetterA = 15  // 'A' to 'Z', either case: 15 to 40
};

// The code of a space, digit or letter (ASCII); kKeyNone for any other
// character.
int32_t KeyCodeOfCharacter(int32_t character);
