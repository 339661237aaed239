#include "tests/vst/ModuleUnderTest.h"

#ifndef DM_VST_MODULE_PATH
#error "the build passes the module's path"
#endif

const ModuleLoader& LoadedModule() {
  static ModuleLoader module(DM_VST_MODULE_PATH);
  return module;
}

VstPluginMainProc ModuleEntry(const char* name) {
  return reinterpret_cast<VstPluginMainProc>(LoadedModule().Symbol(name));
}
