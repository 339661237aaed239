#include "framework/IPresetSlot.h"

#include "framework/TextCopy.h"

void IPresetSlot::SetName(const char* text) { CopyTextBounded(name, sizeof name, text); }
