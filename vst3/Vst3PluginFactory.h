// What the VST 3 binding needs from the plug-in above it. Declared here and
// defined by the effect, so that every include points down: the module's
// factory and the class IDs ask for the plug-in through these.
#pragma once

#include <cstdint>

class IEffectVST3;
class IVst3EditSink;

struct Vst3PluginInfo {
  const char* vendor;
  const char* url;
  const char* email;
  const char* name;           // the class name; its first nine letters make the class IDs
  const char* subCategories;  // e.g. "Fx|Distortion"
  const char* version;        // "1.0.0"
  int32_t vst2UniqueId;       // the VST 2 plug-in this one replaces
};

extern const Vst3PluginInfo kVst3Plugin;

// A new plug-in, or null when it cannot be made. edits is null for the
// audio processor's instance. The module hands it to the factory
// (Vst3ModuleFactory), which links the effect in ahead of the binding.
IEffectVST3* CreateVst3Plugin(IVst3EditSink* edits);
using Vst3PluginMaker = IEffectVST3* (*)(IVst3EditSink* edits);
