// The host's parameter calls. A change from the host is shown to the editor
// first and not reported back to the host, which made it.
#include "vst/IEffectVST.h"

void IEffectVST::SetParameterFromHost(int32_t index, float normalized) {
  PluginLockGuard guard(lock);
  IParameter* parameter = ParameterAt(index);
  if (!parameter) return;
  if (editor) editor->ShowParameterValue(index, static_cast<double>(normalized), true);
  parameter->SetFromNormalized(static_cast<double>(normalized));
  ParameterChanged(index);
}

float IEffectVST::ParameterForHost(int32_t index) {
  PluginLockGuard guard(lock);
  const IParameter* parameter = ParameterAt(index);
  return parameter ? static_cast<float>(parameter->Normalized()) : 0.0f;
}
