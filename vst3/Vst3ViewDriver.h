// What drives the panel's window between the host's calls, by platform:
// on Windows the window's own timer (nothing to do here); on Linux the run
// loop the host's plug frame offers, with a timer for the repaint ticks and
// an event handler on the editor's X connection (Vst3ViewDriver_x11.cpp).
#pragma once

#include "framework/IParentWindow.h"
#include "pluginterfaces/gui/iplugview.h"

class IEditorSeam;
class Vst3ViewDriver;

// The window type the panel is opened in.
extern const char* const kVst3ViewPlatformType;

// The parent that IPlugView::attached names, in the editor's words: an HWND
// on Windows, an XEmbed window's id on Linux.
IParentWindow Vst3ParentWindow(void* attachedParent);

// Called around opening the editor's window: the driver notes what it needs
// before (Prepare) and starts once the window is open (Start). Null from
// Start means the panel cannot be driven here, and is closed again.
Vst3ViewDriver* PrepareViewDriver();
bool StartViewDriver(Vst3ViewDriver* driver, Steinberg::IPlugFrame* frame, IEditorSeam* editor);
// Unregisters everything and deletes the driver. Null is fine.
void StopViewDriver(Vst3ViewDriver* driver);
