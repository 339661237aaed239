// The module's plug-in factory: the vendor, one audio effect and its edit
// controller, under the class IDs that let hosts replace the VST 2 plug-in.
// One object for the module's lifetime; hosts' references do not end it.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "vst3/Vst3PluginFactory.h"

Steinberg::IPluginFactory* Vst3ModuleFactory(Vst3PluginMaker make);
