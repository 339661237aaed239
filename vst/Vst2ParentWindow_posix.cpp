#include <cstdint>

#include "vst/Vst2ParentWindow.h"

IParentWindow Vst2ParentWindow(void* effEditOpenPtr) {
  return IParentWindow::X11(reinterpret_cast<uintptr_t>(effEditOpenPtr));
}
