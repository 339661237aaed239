#include "tools/render/PluginListing.h"

#include "tools/render/ParameterControl.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/ProgramSelection.h"

#include <algorithm>
#include <cstdio>

namespace render {
namespace {

std::string Padded(const std::string& s, size_t width) {
  return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

std::string WithLabel(const std::string& value, const std::string& label) {
  return label.empty() ? value : value + " " + label;
}

// Plug-ins give their version as one number; most, duoMangler among them,
// as major * 10000 + minor * 100 + revision, which reads 1.0.0 for 10000.
// Smaller numbers follow no common rule and are shown as they are.
std::string VersionText(int32_t version) {
  if (version < 10000) {
    return std::to_string(version);
  }
  return std::to_string(version / 10000) + "." + std::to_string(version / 100 % 100) + "." +
         std::to_string(version % 100);
}

std::string Header(PluginInstance& plugin) {
  const AEffect& e = plugin.Effect();
  const std::string vendor = plugin.DispatchText(effGetVendorString);
  char line[512];
  std::snprintf(line, sizeof(line), "%s%s%s, version %s, %d in / %d out (%s, %s)\n",
                plugin.Name().c_str(), vendor.empty() ? "" : " by ", vendor.c_str(),
                VersionText(e.version).c_str(), e.numInputs, e.numOutputs,
                plugin.Format().c_str(), plugin.ModulePath().c_str());
  return line;
}

std::string Programs(PluginInstance& plugin) {
  const std::vector<std::string> names = ProgramNames(plugin);
  const intptr_t current = plugin.Dispatch(effGetProgram);
  std::string text = "\nPrograms (" + std::to_string(names.size()) + ", * = current):\n";
  for (size_t i = 0; i < names.size(); ++i) {
    char line[512];
    std::snprintf(line, sizeof(line), " %c %3zu  %s\n",
                  static_cast<intptr_t>(i) == current ? '*' : ' ', i, names[i].c_str());
    text += line;
  }
  return text;
}

std::string Parameters(PluginInstance& plugin) {
  const int32_t count = plugin.Effect().numParams;
  std::vector<std::string> names;
  size_t nameWidth = 4;
  for (int32_t i = 0; i < count; ++i) {
    names.push_back(ParameterName(plugin, i));
    nameWidth = std::max(nameWidth, names.back().size());
  }
  std::string text = "\nParameters (" + std::to_string(count) + "):\n";
  text += "    #  " + Padded("Name", nameWidth) + "  " + Padded("Range", 20) + "  Now\n";
  for (int32_t i = 0; i < count; ++i) {
    const std::string label = ParameterLabel(plugin, i);
    const ParameterRange range = ProbeRange(plugin, i);
    const std::string rangeText = WithLabel(range.lowText + " to " + range.highText, label);
    char line[1024];
    std::snprintf(line, sizeof(line), "  %3d  %s  %s  %s\n", i,
                  Padded(names[static_cast<size_t>(i)], nameWidth).c_str(),
                  Padded(rangeText, 20).c_str(),
                  WithLabel(ParameterDisplay(plugin, i), label).c_str());
    text += line;
  }
  return text;
}

}  // namespace

std::string DescribePlugin(PluginInstance& plugin) {
  return Header(plugin) + Programs(plugin) + Parameters(plugin);
}

}  // namespace render
