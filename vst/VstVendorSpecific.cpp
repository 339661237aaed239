// effVendorSpecific: the host extensions the plug-in answers (display text of
// any normalised value, switch detection, normalised value of a text, and the
// host's mouse wheel).
#include <cmath>
#include <cstdio>

#include "framework/SaturatingConversions.h"
#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

namespace {

constexpr intptr_t kExtensionHandled = 0xBEEF;
constexpr int32_t kWheelSelector = VstFourCC('s', 't', 'C', 'A');
constexpr intptr_t kWheelValue = VstFourCC('W', 'h', 'e', 'e');

bool IsSwitch(const IParameter& parameter) {
  if (parameter.kind == ParamKind::Boolean) return true;
  const bool stepped =
      parameter.kind == ParamKind::Integer || parameter.kind == ParamKind::Enumerated;
  return stepped && std::fabs(parameter.max - parameter.min) < 1.5;
}

}  // namespace

intptr_t IEffectVST::VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  IParameter* parameter = ParameterAt(SaturateToInt32(value));
  switch (index) {
    case effGetParamDisplay:
      if (!text) return 0;
      if (parameter)
        parameter->FormatValue(static_cast<double>(opt), true, text, kParameterTextBytes);
      return kExtensionHandled;
    case effGetParamName:
      return parameter && IsSwitch(*parameter) ? kExtensionHandled : 0;
    case effString2Parameter:
      if (!text || !parameter) return 0;
      if (text[0] != '\0') {
        double v = parameter->ValueFromText(text);
        // A text that reads as no number at all stands for the minimum, as
        // when the host stores it (effString2Parameter).
        if (std::isnan(v)) v = parameter->min;
        std::snprintf(text, kParameterTextBytes, "%.17f", parameter->NormalizedOf(v));
      }
      return kExtensionHandled;
    case kWheelSelector:
      if (value != kWheelValue || !editor) return 0;
      return editor->HandleHostWheel(opt);
    default:
      return 0;
  }
}
