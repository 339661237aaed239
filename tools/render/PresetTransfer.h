// VST 2 preset files (.fxp, .fxb) loaded into and saved from a plug-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class PluginInstance;

// Loads a VST 2 program (.fxp) or bank (.fxb) file into the plug-in the way
// hosts do: a program into the current program, a bank into every program
// (then the bank's current one). Everything is checked before anything is
// applied: throws RenderError naming the file for unreadable bytes, a file of
// another plug-in, or one whose counts differ from the plug-in's.
void LoadPresetFile(PluginInstance& plugin, const std::string& path);

// The bytes of the plug-in's current program, or of its whole bank: the
// plug-in's own chunk where it keeps one ('FPCh', 'FBCh'), else the
// parameter values ('FxCk', 'FxBk').
std::vector<uint8_t> SaveProgram(PluginInstance& plugin);
std::vector<uint8_t> SaveBank(PluginInstance& plugin);

}  // namespace render
