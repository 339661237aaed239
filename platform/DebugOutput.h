// The debugger output line of the plug-in, behind a replaceable sink so tests
// can see what would have been written. On Windows the default sink hands the
// text to the debugger; elsewhere it discards it, because a host's standard
// error is not ours to fill.
#pragma once

using DebugOutputSink = void (*)(const char* text);

// Sends one NUL-terminated text to the current sink. Allocates nothing and
// takes no lock, so it may run under the plug-in lock on any thread.
void WriteDebugOutput(const char* text);

// Replaces the sink and returns the previous one; null restores the
// platform's own. Meant for tests: swap it while no plug-in is writing.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);

// The platform's own sink (OutputDebugStringA on Windows, nothing elsewhere).
void PlatformDebugOutput(const char* text);
