// The module's exported entry point: constructs one plug-in per call and
// hands the host its effect record.
#include "module/ConstructionLock.h"
#include "vst/IEffectVST.h"
#include "vst/PluginFactory.h"
#include "vst/VstInterface.h"

#if defined(_WIN32)
// The module definition file names the exports. The attribute keeps the
// functions themselves: link-time optimisation does not read that file and
// dropped both entry points, leaving the export table pointing nowhere.
#define DM_EXPORT __declspec(dllexport)
#else
#define DM_EXPORT __attribute__((visibility("default")))
#endif

namespace {

AEffect* ConstructPlugin(audioMasterCallback host) {
  IEffectVST* plugin = CreatePlugin(host);
  if (!plugin) return nullptr;
  plugin->EnsureOnePreset();
  AEffect* record = plugin->Effect();
  if (record->numPrograms < 1) record->numPrograms = 1;
  return record;
}

}  // namespace

extern "C" DM_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
  return ConstructOneAtATime([&] { return ConstructPlugin(host); });
}

// Older hosts look for "main". A C++ function cannot be called main, so the
// forwarder takes the name through its assembler label.
extern "C" DM_EXPORT AEffect* VSTPluginMainForwarder(audioMasterCallback host) __asm__("main");
extern "C" AEffect* VSTPluginMainForwarder(audioMasterCallback host) { return VSTPluginMain(host); }
