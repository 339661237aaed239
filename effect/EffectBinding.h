// The format binding the effect derives from: the VST 2.4 binding on top of
// the plug-in base. It fills the effect record, answers the host and reaches
// the host for the effect; the effect class only adds its parameters,
// processing, programs and editor.
#pragma once

#include "vst/IEffectVST.h"

using EffectBinding = IEffectVST;
