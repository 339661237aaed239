// The C entry points stored in the effect record. Each finds the plug-in
// through the record's `object` field, hands the call to the IEffectVST
// operation of the same concern (which takes the plug-in lock; these take
// none) and keeps exceptions from reaching the host.
#pragma once

#include <cstdint>

#include "vst/VstInterface.h"

namespace VstCallbacks {

// [host; effProcessEvents usually from audio] effClose destroys the plug-in
// once no other call holds the lock.
intptr_t Dispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                    float opt);
// [audio]
void ProcessAccumulating(AEffect* effect, float** inputs, float** outputs, int32_t frames);
// [audio]
void ProcessReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames);
// [audio]
void ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, int32_t frames);
// [host, audio]
void SetParameter(AEffect* effect, int32_t index, float value);
// [host, audio]
float GetParameter(AEffect* effect, int32_t index);

}  // namespace VstCallbacks
