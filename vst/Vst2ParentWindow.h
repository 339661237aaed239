// The host's window as VST 2.4 hands it to effEditOpen: a bare pointer that
// holds the parent's HWND on Windows and its X11 window id on Linux. The
// binding names the window system here, once, for the editor.
#pragma once

#include "framework/IParentWindow.h"

IParentWindow Vst2ParentWindow(void* effEditOpenPtr);
