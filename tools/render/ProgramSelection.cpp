#include "tools/render/ProgramSelection.h"

#include "tools/render/PluginInstance.h"
#include "tools/render/RenderError.h"

#include <cctype>

namespace render {

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

int64_t ParseIndex(const std::string& text) {
  if (text.empty() || text.size() > 9) {
    return -1;
  }
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return -1;
    }
    value = value * 10 + (c - '0');
  }
  return value;
}

std::vector<std::string> ProgramNames(PluginInstance& plugin) {
  std::vector<std::string> names;
  const int32_t count = plugin.Effect().numPrograms;
  for (int32_t i = 0; i < count; ++i) {
    names.push_back(plugin.DispatchText(effGetProgramNameIndexed, i));
  }
  return names;
}

int32_t FindProgram(PluginInstance& plugin, const std::string& nameOrIndex) {
  const std::vector<std::string> names = ProgramNames(plugin);
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == nameOrIndex) {
      return static_cast<int32_t>(i);
    }
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (SameTextIgnoringCase(names[i], nameOrIndex)) {
      return static_cast<int32_t>(i);
    }
  }
  const int64_t index = ParseIndex(nameOrIndex);
  if (index >= 0 && index < static_cast<int64_t>(names.size())) {
    return static_cast<int32_t>(index);
  }
  const std::string known = names.empty() ? "it has no programs"
                            : names.size() == 1
                                ? "it has program 0 only; render --list shows its name"
                                : "it has programs 0 to " + std::to_string(names.size() - 1) +
                                      "; render --list shows their names";
  throw UsageError("unknown program '" + nameOrIndex + "' in plug-in '" + plugin.ModulePath() +
                   "' (" + known + ")");
}

void SelectProgram(PluginInstance& plugin, int32_t index) {
  plugin.Dispatch(effBeginSetProgram);
  plugin.Dispatch(effSetProgram, 0, index);
  plugin.Dispatch(effEndSetProgram);
}

}  // namespace render
