#include "platform/DebugOutput.h"

// No debugger channel exists here; the trace line is meant for Windows
// debuggers only.
void PlatformDebugOutput(const char*) {}
