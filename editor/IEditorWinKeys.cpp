#include "editor/IEditorWinKeys.h"

#include "editor/IKeyCodes.h"

int32_t EditorKeyCode(int32_t virtualKey) {
  switch (virtualKey) {
    case 0x26:
      return kKeyUp;
    case 0x28:
      return kKeyDown;
    case 0x25:
      return kKeyLeft;
    case 0x27:
      return kKeyRight;
    default:
      break;
  }
  // Space, digits and capitals are their characters' codes.
  if (virtualKey == 0x20 || (virtualKey >= '0' && virtualKey <= '9') ||
      (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= 0x61 && virtualKey <= 0x7A))
    return KeyCodeOfCharacter(virtualKey);
  return kKeyNone;
}

IMouseKeys MouseKeysFromFlags(uint32_t flags, bool altHeld) {
  IMouseKeys keys;
  keys.L = (flags & 0x1) != 0;
  keys.R = (flags & 0x2) != 0;
  keys.S = (flags & 0x4) != 0;
  keys.C = (flags & 0x8) != 0;
  keys.A = altHeld;
  return keys;
}
