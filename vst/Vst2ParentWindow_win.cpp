#include "vst/Vst2ParentWindow.h"

IParentWindow Vst2ParentWindow(void* effEditOpenPtr) {
  return IParentWindow::Win32(effEditOpenPtr);
}
