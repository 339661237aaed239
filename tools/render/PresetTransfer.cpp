#include "tools/render/PresetTransfer.h"

#include "tools/common/Counted.h"
#include "tools/presets/PresetFile.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/ProgramSelection.h"
#include "tools/render/RenderError.h"

#include <fstream>
#include <iterator>

namespace render {
namespace {

using presets::PresetFile;
using presets::PresetProgram;

std::string FourCharacters(int32_t id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
    s += c >= 32 && c < 127 ? c : '?';
  }
  return s;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw RenderError("cannot load preset '" + path + "': it cannot be opened");
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > presets::kMostPresetFileBytes) {
    throw RenderError("cannot load preset '" + path + "': " +
                      (size < 0
                           ? std::string("it is no regular file")
                           : "it is larger than any preset (" + std::to_string(size) + " bytes)"));
  }
  in.seekg(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), size);
  if (!in) {
    throw RenderError("cannot load preset '" + path + "': reading failed");
  }
  return bytes;
}

bool KeepsChunks(PluginInstance& plugin) {
  return (plugin.Effect().flags & effFlagsProgramChunks) != 0;
}

void Refuse(const std::string& path, const std::string& reason) {
  throw RenderError("cannot load preset '" + path + "': " + reason);
}

void CheckFits(PluginInstance& plugin, const PresetFile& f, const std::string& path) {
  const AEffect& e = plugin.Effect();
  if (f.pluginId != e.uniqueID) {
    Refuse(path, "it is for another plug-in (ID '" + FourCharacters(f.pluginId) +
                     "', this one is '" + FourCharacters(e.uniqueID) + "')");
  }
  if (f.opaque && !KeepsChunks(plugin)) {
    // Hosts save a plug-in's own chunk only when its flags say it keeps one.
    Refuse(path, f.isBank ? "it holds a plug-in chunk ('FBCh'), but this plug-in keeps none: "
                            "hosts save its banks as parameter lists ('FxBk')"
                          : "it holds a plug-in chunk ('FPCh'), but this plug-in keeps none: "
                            "hosts save its programs as parameter lists ('FxCk')");
  }
  if (!f.opaque && f.parameterCount != e.numParams) {
    Refuse(path, "it has " + tools::Counted(f.parameterCount, "parameter") + ", the plug-in " +
                     std::to_string(e.numParams));
  }
  if (f.isBank && f.programCount != e.numPrograms) {
    Refuse(path, "it has " + tools::Counted(f.programCount, "program") + ", the plug-in " +
                     std::to_string(e.numPrograms));
  }
  if (f.isBank && f.currentProgram >= e.numPrograms) {
    Refuse(path,
           "its current program " + std::to_string(f.currentProgram) + " is none of the plug-in's");
  }
}

void SetProgramName(PluginInstance& plugin, const std::string& name) {
  std::vector<char> text(name.begin(), name.end());
  text.push_back('\0');
  plugin.Dispatch(effSetProgramName, 0, 0, text.data());
}

void ApplyValues(PluginInstance& plugin, const PresetProgram& p) {
  SetProgramName(plugin, p.name);
  AEffect& e = plugin.Effect();
  for (size_t i = 0; i < p.values.size(); ++i) {
    e.setParameter(&e, static_cast<int32_t>(i), p.values[i]);
  }
}

void ApplyChunk(PluginInstance& plugin, const PresetFile& f, const std::string& path) {
  std::vector<uint8_t> chunk = f.chunk;
  const int32_t isProgram = f.isBank ? 0 : 1;
  plugin.Dispatch(effBeginSetProgram);
  const intptr_t taken =
      plugin.Dispatch(effSetChunk, isProgram, static_cast<intptr_t>(chunk.size()), chunk.data());
  plugin.Dispatch(effEndSetProgram);
  if (taken == 0) {
    Refuse(path, "the plug-in refused its chunk");
  }
}

std::vector<uint8_t> GetChunk(PluginInstance& plugin, bool isProgram) {
  void* data = nullptr;
  const intptr_t size = plugin.Dispatch(effGetChunk, isProgram ? 1 : 0, 0, &data);
  if (size <= 0 || !data) {
    throw RenderError("plug-in '" + plugin.ModulePath() + "' gave no chunk to save");
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

PresetFile Identity(PluginInstance& plugin) {
  PresetFile f;
  f.pluginId = plugin.Effect().uniqueID;
  f.pluginVersion = plugin.Effect().version;
  f.parameterCount = plugin.Effect().numParams;
  f.opaque = KeepsChunks(plugin);
  return f;
}

PresetProgram CurrentValues(PluginInstance& plugin) {
  AEffect& e = plugin.Effect();
  PresetProgram p;
  p.name = plugin.DispatchText(effGetProgramName);
  for (int32_t i = 0; i < e.numParams; ++i) {
    p.values.push_back(e.getParameter(&e, i));
  }
  return p;
}

}  // namespace

void LoadPresetFile(PluginInstance& plugin, const std::string& path) {
  PresetFile f;
  try {
    f = presets::ParsePresetFile(ReadBytes(path));
  } catch (const presets::PresetFileError& e) {
    Refuse(path, e.what());
  }
  CheckFits(plugin, f, path);
  if (f.opaque) {
    ApplyChunk(plugin, f, path);
    if (!f.isBank) {
      SetProgramName(plugin, f.programName);
    }
  } else if (!f.isBank) {
    ApplyValues(plugin, f.programs[0]);
  } else {
    const int32_t current = static_cast<int32_t>(plugin.Dispatch(effGetProgram));
    for (size_t i = 0; i < f.programs.size(); ++i) {
      SelectProgram(plugin, static_cast<int32_t>(i));
      ApplyValues(plugin, f.programs[i]);
    }
    SelectProgram(plugin, f.currentProgram >= 0 ? f.currentProgram : current);
  }
  if (f.opaque && f.isBank && f.currentProgram >= 0) {
    SelectProgram(plugin, f.currentProgram);
  }
}

std::vector<uint8_t> SaveProgram(PluginInstance& plugin) {
  PresetFile f = Identity(plugin);
  if (f.opaque) {
    f.programName = plugin.DispatchText(effGetProgramName);
    f.chunk = GetChunk(plugin, true);
  } else {
    f.programs.push_back(CurrentValues(plugin));
  }
  return presets::SerializePresetFile(f);
}

std::vector<uint8_t> SaveBank(PluginInstance& plugin) {
  PresetFile f = Identity(plugin);
  f.isBank = true;
  f.programCount = plugin.Effect().numPrograms;
  f.currentProgram = static_cast<int32_t>(plugin.Dispatch(effGetProgram));
  if (f.opaque) {
    f.chunk = GetChunk(plugin, false);
  } else {
    for (int32_t i = 0; i < f.programCount; ++i) {
      SelectProgram(plugin, i);
      f.programs.push_back(CurrentValues(plugin));
    }
    SelectProgram(plugin, f.currentProgram);
  }
  return presets::SerializePresetFile(f);
}

}  // namespace render
