#include "vst/VstCallbacks.h"

#include "vst/IEffectVST.h"

namespace VstCallbacks {

intptr_t Dispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                    float opt) {
  IEffectVST* plugin = IEffectVST::FromEffect(effect);
  if (!plugin) return 0;
  try {
    if (opcode == effClose) {
      // Waits for any call still running on another thread; the lock must
      // not be held while the plug-in (and the lock with it) is destroyed.
      plugin->Lock().Enter();
      plugin->Lock().Leave();
      delete plugin;
      return 0;
    }
    PluginLockGuard guard(plugin->Lock());
    return plugin->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

void ProcessAccumulating(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
  IEffectVST* plugin = IEffectVST::FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->ProcessSingle(inputs, outputs, frames, true);
  } catch (...) {
  }
}

void ProcessReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
  IEffectVST* plugin = IEffectVST::FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->ProcessSingle(inputs, outputs, frames, false);
  } catch (...) {
  }
}

void ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, int32_t frames) {
  IEffectVST* plugin = IEffectVST::FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->ProcessDouble(inputs, outputs, frames);
  } catch (...) {
  }
}

void SetParameter(AEffect* effect, int32_t index, float value) {
  IEffectVST* plugin = IEffectVST::FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->SetParameterFromHost(index, value);
  } catch (...) {
  }
}

float GetParameter(AEffect* effect, int32_t index) {
  IEffectVST* plugin = IEffectVST::FromEffect(effect);
  if (!plugin) return 0.0f;
  try {
    return plugin->ParameterForHost(index);
  } catch (...) {
    return 0.0f;
  }
}

}  // namespace VstCallbacks
