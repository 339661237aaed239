// The VST 3 module's exported entry points: the plug-in factory, and the
// load and unload calls of each platform (ModuleEntry and ModuleExit on
// Linux, InitDll and ExitDll on Windows), which have nothing to prepare.
#include "pluginterfaces/base/ipluginbase.h"
#include "vst3/Vst3Factory.h"

#if defined(_WIN32)
// The definition file names the exports; the attribute keeps the functions
// through link-time optimisation (see VstPluginMain.cpp).
#define DM_EXPORT __declspec(dllexport)
#else
#define DM_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

DM_EXPORT Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory() {
  return Vst3ModuleFactory(CreateVst3Plugin);
}

#if defined(_WIN32)
DM_EXPORT bool InitDll() { return true; }
DM_EXPORT bool ExitDll() { return true; }
#else
DM_EXPORT bool ModuleEntry(void*) { return true; }
DM_EXPORT bool ModuleExit() { return true; }
#endif
}
