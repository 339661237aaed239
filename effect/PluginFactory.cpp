#include "vst/PluginFactory.h"

#include <new>

#include "effect/DuoManglerEffect.h"

IEffectVST* CreatePlugin(audioMasterCallback host) { return new (std::nothrow) VSTCLASS(host); }
