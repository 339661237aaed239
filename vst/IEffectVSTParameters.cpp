// Parameters for the host: the parameter callbacks, and the names, unit
// labels, display texts and typed texts the dispatcher asks for.
#include "framework/TextCopy.h"
#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

// The host's parameter calls. A change from the host is shown to the editor
// first and not reported back to the host, which made it.
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

// Parameter texts for the host: names, unit labels, display texts, and the
// host's text typed for a parameter.
intptr_t IEffectVST::DispatchParameterTexts(int32_t opcode, int32_t index, void* ptr) {
  if (opcode == effString2Parameter) return StringToParameter(index, static_cast<const char*>(ptr));
  const IParameter* parameter = ParameterAt(index);
  char* text = static_cast<char*>(ptr);
  if (!parameter || !text) return 0;
  switch (opcode) {
    case effGetParamLabel:
      CopyTextBounded(text, kParameterTextBytes, parameter->Label());
      break;
    case effGetParamName:
      CopyTextBounded(text, kParameterTextBytes, parameter->Name());
      break;
    case effGetParamDisplay:
      parameter->FormatValue(parameter->value, false, text, kParameterTextBytes);
      break;
    default:
      break;
  }
  return 0;
}

intptr_t IEffectVST::StringToParameter(int32_t index, const char* text) {
  IParameter* parameter = ParameterAt(index);
  if (!parameter) return 0;
  if (!text) return 1;
  const double v = parameter->ValueFromText(text);
  if (editor) editor->ShowParameterValue(index, v, false);
  parameter->SetValueClamped(v);
  // The host typed it, so it is not told back.
  ParameterChanged(index);
  return 1;
}
