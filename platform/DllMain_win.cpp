// The Windows loader's entry point of the plug-in module. It must be part of
// the DLL itself, not a member of a static library that nothing references,
// so it is built apart from dm_platform and linked into the module only.
#include <windows.h>

#include "platform/ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) RecordModuleInstance(instance);
  return TRUE;
}
