// The class IDs under which hosts find the plug-in, made so that a host can
// put it in the place of the VST 2 plug-in: a three-letter prefix ("VST" for
// the component, "VSE" for its controller), the VST 2 unique ID and the
// first nine characters of the name in lower case, 32 hex digits in all
// (00 past the end of the name), read as a GUID the way the SDK reads one
// (COM byte order on Windows).
#pragma once

#include <cstdint>

#include "pluginterfaces/base/funknown.h"

inline constexpr uint32_t kComponentIdPrefix = 0x565354;   // "VST"
inline constexpr uint32_t kControllerIdPrefix = 0x565345;  // "VSE"

void MakeVst3ClassId(uint32_t prefix, int32_t vst2UniqueId, const char* name, Steinberg::TUID out);
