// The plug-in that the module's entry point constructs. Declared here and
// defined by the effect, so the binding never includes the effect.
#pragma once

#include "vst/VstInterface.h"

class IEffectVST;

// Constructs one plug-in for the given host callback; null when memory runs
// out. Called by the entry point under the process-wide construction lock, on
// whichever host thread loads the plug-in.
IEffectVST* CreatePlugin(audioMasterCallback host);
