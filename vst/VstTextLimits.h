// How many bytes (terminating NUL included) the plug-in writes into each kind
// of host text buffer. Hosts size their buffers to the interface's published
// limits, so nothing longer may be written. Parameter texts are the
// exception: the published 8 bytes would cut this effect's own names, and
// hosts in practice pass larger buffers for them.
#pragma once

#include <cstddef>

#include "vst/VstInterface.h"

constexpr size_t kProgramNameBytes = kVstMaxProgNameLen;      // 24
constexpr size_t kEffectNameBytes = kVstMaxEffectNameLen;     // 32
constexpr size_t kVendorStringBytes = kVstMaxVendorStrLen;    // 64
constexpr size_t kProductStringBytes = kVstMaxProductStrLen;  // 64
constexpr size_t kPinLabelBytes = kVstMaxLabelLen;            // 64
constexpr size_t kParameterTextBytes = 32;                    // names, labels, display texts
