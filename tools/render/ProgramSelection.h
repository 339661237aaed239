// A plug-in's programs by name or index, selected as a DAW's menu does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class PluginInstance;

// The names of all programs, by index (effGetProgramNameIndexed).
std::vector<std::string> ProgramNames(PluginInstance& plugin);

// The program a user means by `nameOrIndex`: an exact name, else a name that
// differs only in letter case, else a 0-based index. Throws RenderError.
int32_t FindProgram(PluginInstance& plugin, const std::string& nameOrIndex);

// Selects a program the way a DAW's program menu does.
void SelectProgram(PluginInstance& plugin, int32_t index);

// Case-insensitive comparison, shared with the parameter lookup.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// A whole non-negative decimal number, or -1.
int64_t ParseIndex(const std::string& text);

}  // namespace render
