// The VST 2 program and bank files live in framework/, where the VST 3
// binding reads the hand-over records a host gives it; the tools include
// them from here as before.
#pragma once

#include "framework/PresetFile.h"
