// A plug-in's parameters by name: lookup, display ranges and values typed in display units.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace render {

class PluginInstance;

// The ends of a parameter's range as the plug-in displays them, and their
// numbers when the texts are numeric.
struct ParameterRange {
  std::string lowText;   // shown at normalised 0
  std::string highText;  // shown at normalised 1
  std::optional<double> low;
  std::optional<double> high;

  bool IsNumeric() const { return low.has_value() && high.has_value(); }
};

std::string ParameterName(PluginInstance& plugin, int32_t index);
std::string ParameterLabel(PluginInstance& plugin, int32_t index);
std::string ParameterDisplay(PluginInstance& plugin, int32_t index);

// The parameter a user means: an exact name, a name that differs in letter
// case or blanks at the ends, else a 0-based index. Throws RenderError.
int32_t FindParameter(PluginInstance& plugin, const std::string& nameOrIndex);

// Finds the range without disturbing the plug-in's state where it can tell
// the display text of any value; otherwise sets the two ends and restores the
// value it had.
ParameterRange ProbeRange(PluginInstance& plugin, int32_t index);

struct ParameterSetting {
  std::string shown;            // the display text afterwards, without the label
  std::string label;            // the unit
  std::optional<double> asked;  // the number given, for a numeric range
  // For a fraction such as 0.8 on a range reaching 10 or more: the value it
  // would mean as a share of the range.
  std::optional<double> fractionMeant;
};

// Sets a parameter from a decimal value in its display units ("500",
// "500 Hz"), through the plug-in's own text conversion where it has one.
// Throws UsageError for a value that is no decimal number, has another unit
// or lies outside the range.
ParameterSetting SetParameterFromText(PluginInstance& plugin, int32_t index,
                                      const std::string& valueText);

// The number a value text in the parameter's display units asks for. Throws
// UsageError for a value that is no decimal number, has another unit or lies
// outside the (numeric) range.
double CheckedParameterNumber(const std::string& name, const std::string& valueText,
                              const std::string& label, const ParameterRange& range);

// Sets a numeric parameter to a display value, through the plug-in's own text
// conversion where it has one, else by searching its normalised value.
void SetParameterNumber(PluginInstance& plugin, int32_t index, double number,
                        const ParameterRange& range);

// A number at the start of a display text ("20000", "-3.5 dB"), or nothing.
std::optional<double> LeadingNumber(const std::string& text, std::string* rest = nullptr);

}  // namespace render
