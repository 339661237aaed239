// duoMangler as an LV2 plug-in: its URI and class, and the factory the LV2
// binding makes instances with.
#include <new>

#include "effect/DuoManglerEffect.h"
#include "lv2/Lv2PluginFactory.h"

// A URN: the product has no web pages whose addresses it could use.
const Lv2PluginInfo kLv2Plugin = {"urn:qovak:duomangler", "DistortionPlugin"};

IEffectLV2* CreateLv2Plugin(const LV2_Feature* const* features) {
  return new (std::nothrow) DuoManglerEffect(features);
}
