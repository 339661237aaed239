// The Windows window's key and mouse words in the editor's terms. Plain
// arithmetic on the codes, without windows.h, so it is tested on every
// platform; only the Windows window uses it.
#pragma once

#include <cstdint>

#include "editor/IMouseKeys.h"

// The editor's key code (IKeyCodes.h) for a Windows virtual key: space, the
// arrows, '0'-'9', 'A'-'Z', and 0x61-0x7A as letters (the numeric keypad's
// digits and F2 to F11 among them, as the editor has always taken them);
// kKeyNone for any other key, which the window does not pass on.
int32_t EditorKeyCode(int32_t virtualKey);

// The buttons and modifiers of a mouse message's key-state word (bit 0 left,
// bit 1 right, bit 2 shift, bit 3 control) and the Alt key.
IMouseKeys MouseKeysFromFlags(uint32_t flags, bool altHeld);
