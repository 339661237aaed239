// The DLL's loader entry: records the module handle, through which the editor
// loads its images. Part of the DLL itself (not of a library), so the loader's
// call reaches it.
#include <windows.h>

#include "platform/ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) RecordModuleInstance(instance);
  return TRUE;
}
