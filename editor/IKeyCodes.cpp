#include "editor/IKeyCodes.h"

int32_t KeyCodeOfCharacter(int32_t character) {
  if (character == ' ') return kKeySpace;
  if (character >= '0' && character <= '9') return kKeyDigit0 + (character - '0');
  if (character >= 'A' && character <= 'Z') return kKeyLetterA + (character - 'A');
  if (character >= 'a' && character <= 'z') return kKeyLetterA + (character - 'a');
  return kKeyNone;
}
