// The C entry points stored in the effect record. Each finds the plug-in
// through the record's `object` field and keeps exceptions from reaching the
// host.
#pragma once

#include <cstdint>

#include "vst/VstInterface.h"

namespace VstCallbacks {

intptr_t Dispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                    float opt);
void ProcessAccumulating(AEffect* effect, float** inputs, float** outputs, int32_t frames);
void ProcessReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames);
void ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, int32_t frames);
void SetParameter(AEffect* effect, int32_t index, float value);
float GetParameter(AEffect* effect, int32_t index);

}  // namespace VstCallbacks
