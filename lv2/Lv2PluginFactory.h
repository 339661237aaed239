// What the LV2 binding needs from the plug-in above it. Declared here and
// defined by the effect, so that every include points down: the binding's
// entry point and the bundle's description ask for the plug-in through these.
#pragma once

#include <lv2/core/lv2.h>

class IEffectLV2;

struct Lv2PluginInfo {
  const char* uri;          // the plug-in's LV2 URI, also the prefix of its presets and state key
  const char* pluginClass;  // an lv2core class name, e.g. "DistortionPlugin"
};

extern const Lv2PluginInfo kLv2Plugin;

// A new plug-in, or null when it cannot be made. Instantiation class.
IEffectLV2* CreateLv2Plugin(const LV2_Feature* const* features);
