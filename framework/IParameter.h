// One automatable parameter: its range, step and shape, its current value in
// parameter units, and the conversions between that value, the normalised
// 0…1 value hosts and controls speak, and the text shown to the user.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/IGrowableBuffer.h"

enum class ParamKind : int32_t {
  Unset = 0,
  Boolean = 1,
  Integer = 2,
  Enumerated = 3,
  Continuous = 4,
};

// One entry of a parameter's display-text list, stored packed (36 bytes).
struct IDisplayText {
  int32_t value;
  char text[32];
};
static_assert(sizeof(IDisplayText) == 36, "display texts are packed 36-byte records");

class IParameter {
 public:
  static constexpr int32_t kNameCapacity = 32;  // name and label, NUL included

  IParameter();

  IParameter(const IParameter&) = delete;
  IParameter& operator=(const IParameter&) = delete;

  void DefineContinuous(const char* newName, double defaultValue, double minimum, double maximum,
                        double newStep, const char* newLabel);
  void DefineInteger(const char* newName, int32_t defaultValue, int32_t minimum, int32_t maximum,
                     const char* newLabel);
  void SetShapeExponent(double newShape);

  void SetFromNormalized(double normalized);
  // The value SetFromNormalized would store, without storing it: what the
  // editor shows for a control's value without reading value, which the
  // host's thread writes.
  double SteppedValueOf(double normalized) const;
  // A value in parameter units, rounded to the step (except for Continuous
  // parameters) and limited to the range; NaN lands on the maximum.
  void SetSteppedValue(double v);
  double NormalizedOf(double v) const;
  double Normalized() const { return NormalizedOf(value); }
  void SetValueClamped(double v);

  // Writes at most capacity bytes, always NUL-terminated (for capacity > 0).
  void FormatValue(double v, bool isNormalized, char* out, size_t capacity) const;
  double ValueFromText(const char* text) const;

  // Appends an entry; the text is cut to 31 characters. False when the list
  // cannot grow.
  bool AddDisplayText(int32_t entryValue, const char* text);
  int32_t DisplayTextCount() const;
  const char* DisplayTextFor(int32_t v) const;
  bool ValueOfDisplayText(const char* text, int32_t& v) const;

  const char* Name() const { return name; }
  const char* Label() const { return label; }
  void Range(double& minimum, double& maximum) const {
    minimum = min;
    maximum = max;
  }

  ParamKind kind = ParamKind::Unset;
  double value = 0.0;
  double min = 0.0;
  double max = 1.0;
  double step = 1.0;
  double shape = 1.0;
  int32_t displayPrecision = 0;
  char name[kNameCapacity] = {};
  char label[kNameCapacity] = {};
  bool negateDisplay = false;
  IGrowableBuffer displayTexts{4096};

 private:
  double StepAndLimit(double v) const;
  const IDisplayText* DisplayTextAt(int32_t index) const;
  const IDisplayText* FirstDisplayTextWithValue(int32_t v) const;
  double ValueOfNormalized(double normalized) const;
};
