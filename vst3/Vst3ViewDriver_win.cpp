// On Windows the editor's window has its own timer: no driver is needed.
#include "vst3/Vst3ViewDriver.h"

const char* const kVst3ViewPlatformType = Steinberg::kPlatformTypeHWND;

IParentWindow Vst3ParentWindow(void* attachedParent) {
  return IParentWindow::Win32(attachedParent);
}

Vst3ViewDriver* PrepareViewDriver() { return nullptr; }
bool StartViewDriver(Vst3ViewDriver*, Steinberg::IPlugFrame*, IEditorSeam*) { return true; }
void StopViewDriver(Vst3ViewDriver*) {}
