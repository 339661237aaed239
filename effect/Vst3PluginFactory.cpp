// duoMangler as a VST 3 plug-in: the factory's identity, and the factory
// the VST 3 binding makes instances with.
#include <new>

#include "effect/DuoManglerEffect.h"
#include "effect/EditorLayout.h"
#include "vst3/Vst3PluginFactory.h"

const Vst3PluginInfo kVst3Plugin = {
    "Qovak", kMakerPage, "", kDuoManglerName, "Fx|Distortion", "1.0.0", kDuoManglerUniqueId,
};

IEffectVST3* CreateVst3Plugin(IVst3EditSink* edits) {
  return new (std::nothrow) DuoManglerEffect(edits);
}
