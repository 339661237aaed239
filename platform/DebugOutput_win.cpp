#include "platform/DebugOutput.h"

#include <windows.h>

void PlatformDebugOutput(const char* text) { OutputDebugStringA(text); }
