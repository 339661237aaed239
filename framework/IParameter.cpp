#include "framework/IParameter.h"

#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/TextCopy.h"
#include "platform/SaturatingConversions.h"

namespace {

constexpr int32_t kMaxDisplayPrecision = 6;

int32_t PrecisionForStep(double step) {
  int32_t precision = 0;
  double s = step;
  while (s != std::floor(s)) {
    ++precision;
    if (precision >= kMaxDisplayPrecision) break;
    s *= 10.0;
  }
  return precision;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The decimal number at the start of text, read the way the Windows C
// library's atof reads it: blanks skipped, then an optional sign, digits, a
// fraction and an exponent. Hexadecimal forms and the words inf and nan are
// not numbers here (some C libraries would read them), so every platform
// turns a typed text into the same value.
double LeadingDecimalNumber(const char* text) {
  const char* start = text;
  while (std::isspace(static_cast<unsigned char>(*start))) ++start;
  const char* mantissa = start;
  if (*mantissa == '+' || *mantissa == '-') ++mantissa;
  const char point = *std::localeconv()->decimal_point;
  const bool beginsNumber = IsDigit(mantissa[0]) || (mantissa[0] == point && IsDigit(mantissa[1]));
  if (!beginsNumber) return 0.0;
  if (mantissa[0] == '0' && (mantissa[1] == 'x' || mantissa[1] == 'X')) {
    return *start == '-' ? -0.0 : 0.0;  // the number read is the 0 before the x
  }
  return std::strtod(start, nullptr);
}

}  // namespace

IParameter::IParameter() = default;

void IParameter::DefineContinuous(const char* newName, double defaultValue, double minimum,
                                  double maximum, double newStep, const char* newLabel) {
  if (kind == ParamKind::Unset) kind = ParamKind::Continuous;
  CopyTextBounded(name, sizeof name, newName);
  CopyTextBounded(label, sizeof label, newLabel);
  min = minimum;
  value = defaultValue;
  max = maximum >= minimum + newStep ? maximum : minimum + newStep;
  step = newStep;
  displayPrecision = PrecisionForStep(newStep);
}

void IParameter::DefineInteger(const char* newName, int32_t defaultValue, int32_t minimum,
                               int32_t maximum, const char* newLabel) {
  if (kind == ParamKind::Unset) kind = ParamKind::Integer;
  DefineContinuous(newName, static_cast<double>(defaultValue), static_cast<double>(minimum),
                   static_cast<double>(maximum), 1.0, newLabel);
}

void IParameter::SetShapeExponent(double newShape) {
  if (newShape != 0.0) shape = newShape;
}

double IParameter::ValueOfNormalized(double normalized) const {
  return min + std::pow(normalized, shape) * (max - min);
}

void IParameter::SetFromNormalized(double normalized) { value = SteppedValueOf(normalized); }

double IParameter::SteppedValueOf(double normalized) const {
  return StepAndLimit(ValueOfNormalized(normalized));
}

void IParameter::SetSteppedValue(double v) { value = StepAndLimit(v); }

double IParameter::StepAndLimit(double v) const {
  if (kind != ParamKind::Continuous) v = std::floor(v / step + 0.5) * step;
  // Hosts send values a hair outside the range; a value below it would make
  // the effect's smoothing feedback exceed 1, so both ends are limited. NaN
  // fails the first comparison and lands on max.
  v = v < max ? v : max;
  if (v < min) v = min;
  return v;
}

double IParameter::NormalizedOf(double v) const {
  if (v < min) v = min;
  if (v > max) v = max;
  return std::pow((v - min) / (max - min), 1.0 / shape);
}

void IParameter::SetValueClamped(double v) {
  if (v < min || std::isnan(v)) {
    value = min;
  } else if (v > max) {
    value = max;
  } else {
    value = v;
  }
}

void IParameter::FormatValue(double v, bool isNormalized, char* out, size_t capacity) const {
  if (!out || capacity == 0) return;
  if (isNormalized) v = ValueOfNormalized(v);
  const IDisplayText* entry = FirstDisplayTextWithValue(TruncateToInt32(v));
  if (entry && entry->text[0] != '\0') {
    CopyTextBounded(out, capacity, entry->text);
    return;
  }
  if (negateDisplay) v = -v;
  if (v == 0.0 || std::isnan(v)) {
    CopyTextBounded(out, capacity, "0");
  } else if (displayPrecision == 0) {
    std::snprintf(out, capacity, "%d", static_cast<int>(TruncateToInt32(v)));
  } else {
    std::snprintf(out, capacity, "%.*f", static_cast<int>(displayPrecision), v);
  }
}

double IParameter::ValueFromText(const char* text) const {
  if (!text) return 0.0;
  int32_t listed = 0;
  if (ValueOfDisplayText(text, listed)) return listed;
  const double v = LeadingDecimalNumber(text);
  return negateDisplay ? -v : v;
}

bool IParameter::AddDisplayText(int32_t entryValue, const char* text) {
  IDisplayText entry{};
  entry.value = entryValue;
  CopyTextBounded(entry.text, sizeof entry.text, text);
  return displayTexts.Append(&entry, static_cast<int32_t>(sizeof entry));
}

int32_t IParameter::DisplayTextCount() const {
  return displayTexts.Size() / static_cast<int32_t>(sizeof(IDisplayText));
}

const IDisplayText* IParameter::DisplayTextAt(int32_t index) const {
  if (index < 0 || index >= DisplayTextCount()) return nullptr;
  return reinterpret_cast<const IDisplayText*>(displayTexts.Data()) + index;
}

const IDisplayText* IParameter::FirstDisplayTextWithValue(int32_t v) const {
  for (int32_t i = 0; i < DisplayTextCount(); ++i) {
    const IDisplayText* entry = DisplayTextAt(i);
    if (entry->value == v) return entry;
  }
  return nullptr;
}

const char* IParameter::DisplayTextFor(int32_t v) const {
  const IDisplayText* entry = FirstDisplayTextWithValue(v);
  return entry ? entry->text : "";
}

bool IParameter::ValueOfDisplayText(const char* text, int32_t& v) const {
  if (!text) return false;
  for (int32_t i = 0; i < DisplayTextCount(); ++i) {
    const IDisplayText* entry = DisplayTextAt(i);
    if (std::strcmp(entry->text, text) == 0) {
      v = entry->value;
      return true;
    }
  }
  return false;
}
