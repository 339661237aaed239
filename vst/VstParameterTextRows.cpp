// Parameter texts for the host: names, unit labels, display texts, and the
// host's text typed for a parameter.
#include "framework/TextCopy.h"
#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

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
