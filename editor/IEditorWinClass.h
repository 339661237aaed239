// The window class every editor window of the module uses, registered while
// at least one editor window exists. [GUI threads]
#pragma once

struct HINSTANCE__;

inline constexpr const char* kEditorWindowClass = "IEditorWndClass";

// Registers the class for the first window and counts every window; false
// (nothing counted) when the class cannot be registered.
bool AcquireEditorWindowClass(HINSTANCE__* module);
// Uncounts a window; the last one unregisters the class.
void ReleaseEditorWindowClass(HINSTANCE__* module);
