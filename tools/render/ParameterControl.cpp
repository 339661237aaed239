#include "tools/render/ParameterControl.h"

#include "tools/render/PluginInstance.h"
#include "tools/render/ProgramSelection.h"
#include "tools/render/RenderError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace render {
namespace {

// Reply of plug-ins that speak the REAPER vendor extension, which lets the
// host convert between texts and normalised values without setting anything.
constexpr intptr_t kVendorExtensionReply = 0xBEEF;
constexpr intptr_t kVendorExtensionCanDo = static_cast<intptr_t>(0xBEEF0000);

std::string Trim(const std::string& s) {
  const char* blanks = " \t";
  const size_t b = s.find_first_not_of(blanks);
  if (b == std::string::npos) {
    return {};
  }
  return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

bool HasVendorExtension(PluginInstance& plugin) {
  char query[] = "hasCockosExtensions";
  return plugin.Dispatch(effCanDo, 0, 0, query) == kVendorExtensionCanDo;
}

std::optional<std::string> VendorDisplayOf(PluginInstance& plugin, int32_t index,
                                           float normalized) {
  char text[256] = {};
  if (plugin.Dispatch(effVendorSpecific, effGetParamDisplay, index, text, normalized) !=
      kVendorExtensionReply) {
    return std::nullopt;
  }
  text[sizeof(text) - 1] = '\0';
  return std::string(text);
}

// The display text at a normalised value, by setting it for a moment.
std::string DisplayBySetting(PluginInstance& plugin, int32_t index, float normalized) {
  AEffect& e = plugin.Effect();
  const float saved = e.getParameter(&e, index);
  e.setParameter(&e, index, normalized);
  std::string text = ParameterDisplay(plugin, index);
  e.setParameter(&e, index, saved);
  return text;
}

std::string RangeText(const ParameterRange& r, const std::string& label) {
  return r.lowText + " to " + r.highText + (label.empty() ? "" : " " + label);
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// A value as a user types it: a decimal number ("80", "-3.5", ".5"),
// optionally followed by a unit. Hexadecimal, exponents, "inf" and "nan" are
// no decimal numbers.
struct UserValue {
  double number = 0.0;
  std::string unit;
};

std::optional<UserValue> ParseUserValue(const std::string& text) {
  const std::string t = Trim(text);
  size_t i = t.size() > 0 && (t[0] == '+' || t[0] == '-') ? 1 : 0;
  size_t digits = 0;
  for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
    ++digits;
  }
  if (i < t.size() && t[i] == '.') {
    for (++i; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
      ++digits;
    }
  }
  if (digits == 0) {
    return std::nullopt;
  }
  UserValue v;
  const std::string number = t.substr(0, i);
  v.number = std::strtod(number.c_str(), nullptr);
  v.unit = Trim(t.substr(i));
  // "0x50" and "1e3" are no number followed by a unit.
  if (std::any_of(v.unit.begin(), v.unit.end(),
                  [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return std::nullopt;
  }
  return v;
}

// The number written the plain way for the plug-in's own text reader.
std::string DecimalText(double number) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof(text) - 1, number, std::chars_format::fixed);
  *result.ptr = '\0';
  return text;
}

// Plug-ins without any text conversion: search the normalised value whose
// display is the number, assuming the display grows or falls monotonically.
void SetBySearch(PluginInstance& plugin, int32_t index, double target,
                 const ParameterRange& range) {
  AEffect& e = plugin.Effect();
  const bool rising = *range.high >= *range.low;
  float lo = 0.0f;
  float hi = 1.0f;
  for (int i = 0; i < 40 && hi - lo > 1e-7f; ++i) {
    const float mid = 0.5f * (lo + hi);
    e.setParameter(&e, index, mid);
    const double shown = LeadingNumber(ParameterDisplay(plugin, index)).value_or(target);
    if ((shown < target) == rising) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  e.setParameter(&e, index, hi);
}

}  // namespace

std::optional<double> LeadingNumber(const std::string& text, std::string* rest) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) {
    return std::nullopt;
  }
  if (rest) {
    *rest = std::string(end);
  }
  return value;
}

double CheckedParameterNumber(const std::string& name, const std::string& valueText,
                              const std::string& label, const ParameterRange& range) {
  const std::optional<UserValue> v = ParseUserValue(valueText);
  if (!v) {
    throw UsageError("value " + Quoted(valueText) + " for parameter " + Quoted(name) +
                     " is not a decimal number (range " + RangeText(range, label) + ")");
  }
  if (!v->unit.empty() && !SameTextIgnoringCase(v->unit, Trim(label))) {
    throw UsageError("value " + Quoted(valueText) + " for parameter " + Quoted(name) +
                     " has the wrong unit: " + name +
                     (Trim(label).empty() ? " has no unit" : " is in " + Trim(label)));
  }
  const double lo = std::fmin(*range.low, *range.high);
  const double hi = std::fmax(*range.low, *range.high);
  if (v->number < lo || v->number > hi) {
    throw UsageError("value " + Quoted(valueText) + " for parameter " + Quoted(name) +
                     " is out of range (" + RangeText(range, label) + ")");
  }
  return v->number;
}

std::string ParameterName(PluginInstance& plugin, int32_t index) {
  return plugin.DispatchText(effGetParamName, index);
}

std::string ParameterLabel(PluginInstance& plugin, int32_t index) {
  return plugin.DispatchText(effGetParamLabel, index);
}

std::string ParameterDisplay(PluginInstance& plugin, int32_t index) {
  return Trim(plugin.DispatchText(effGetParamDisplay, index));
}

int32_t FindParameter(PluginInstance& plugin, const std::string& nameOrIndex) {
  const int32_t count = plugin.Effect().numParams;
  const std::string wanted = Trim(nameOrIndex);
  for (int32_t i = 0; i < count; ++i) {
    if (ParameterName(plugin, i) == nameOrIndex) {
      return i;
    }
  }
  for (int32_t i = 0; i < count; ++i) {
    if (SameTextIgnoringCase(Trim(ParameterName(plugin, i)), wanted)) {
      return i;
    }
  }
  const int64_t index = ParseIndex(wanted);
  if (index >= 0 && index < count) {
    return static_cast<int32_t>(index);
  }
  throw UsageError("unknown parameter " + Quoted(nameOrIndex) + " in plug-in " +
                   Quoted(plugin.ModulePath()) + " (render --list shows its parameters)");
}

ParameterRange ProbeRange(PluginInstance& plugin, int32_t index) {
  ParameterRange r;
  const bool vendor = HasVendorExtension(plugin);
  const std::optional<std::string> low =
      vendor ? VendorDisplayOf(plugin, index, 0.0f) : std::nullopt;
  const std::optional<std::string> high =
      vendor ? VendorDisplayOf(plugin, index, 1.0f) : std::nullopt;
  r.lowText = Trim(low ? *low : DisplayBySetting(plugin, index, 0.0f));
  r.highText = Trim(high ? *high : DisplayBySetting(plugin, index, 1.0f));
  r.low = LeadingNumber(r.lowText);
  r.high = LeadingNumber(r.highText);
  return r;
}

namespace {

// Hands the text to the plug-in's own conversion; false when it has none.
bool SetThroughPluginText(PluginInstance& plugin, int32_t index, const std::string& given) {
  AEffect& e = plugin.Effect();
  char text[256] = {};
  std::snprintf(text, sizeof(text), "%s", given.c_str());
  if (HasVendorExtension(plugin) && plugin.Dispatch(effVendorSpecific, effString2Parameter, index,
                                                    text) == kVendorExtensionReply) {
    // The text now holds the normalised value; set it as automation would.
    e.setParameter(&e, index, static_cast<float>(std::strtod(text, nullptr)));
    return true;
  }
  return plugin.Dispatch(effString2Parameter, index, 0, text) != 0;
}

}  // namespace

void SetParameterNumber(PluginInstance& plugin, int32_t index, double number,
                        const ParameterRange& range) {
  if (!SetThroughPluginText(plugin, index, DecimalText(number))) {
    SetBySearch(plugin, index, number, range);
  }
}

ParameterSetting SetParameterFromText(PluginInstance& plugin, int32_t index,
                                      const std::string& valueText) {
  const std::string name = ParameterName(plugin, index);
  const std::string label = ParameterLabel(plugin, index);
  const ParameterRange range = ProbeRange(plugin, index);
  std::optional<double> number;
  if (range.IsNumeric()) {
    number = CheckedParameterNumber(name, valueText, label, range);
    SetParameterNumber(plugin, index, *number, range);
  } else if (!SetThroughPluginText(plugin, index, valueText)) {
    throw RenderError("parameter " + Quoted(name) + " of plug-in " + Quoted(plugin.ModulePath()) +
                      " cannot be set from a text");
  }
  ParameterSetting result;
  result.shown = ParameterDisplay(plugin, index);
  result.label = Trim(label);
  result.asked = number;
  // 0.8 on a 0 to 100 % scale is more likely meant as 80 % than as 0.8 %.
  if (number && *number != std::trunc(*number) && std::fabs(*number) < 1.0 &&
      std::fmax(std::fabs(*range.low), std::fabs(*range.high)) >= 10.0) {
    result.fractionMeant = *range.low + *number * (*range.high - *range.low);
  }
  return result;
}

}  // namespace render
