// Writes the seed corpus of the VST 3 state fuzzer: the plug-in's own state
// and a host's hand-over of the VST 2 bank chunk.
#include <cstdio>
#include <string>
#include <vector>

#include "framework/IStateBuffer.h"
#include "framework/PresetFile.h"
#include "vst3/IEffectVST3.h"
#include "vst3/Vst3PluginFactory.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  IEffectVST3* plugin = CreateVst3Plugin(nullptr);
  IStateBuffer state;
  if (!plugin || !plugin->WriteState(state)) return 1;
  const std::vector<uint8_t> own(state.Data(), state.Data() + state.Size());

  presets::PresetFile bank;
  bank.isBank = true;
  bank.opaque = true;
  bank.pluginId = plugin->UniqueId();
  bank.programCount = plugin->PresetCount();
  bank.chunk.assign(own.begin(), own.end() - 4);
  std::vector<uint8_t> handOver = {'V', 's', 't', 'W', 0, 0, 0, 8, 0, 0, 0, 1, 0, 0, 0, 0};
  const std::vector<uint8_t> record = presets::SerializePresetFile(bank);
  handOver.insert(handOver.end(), record.begin(), record.end());
  delete plugin;
  const bool ok = Write(folder + "/own-state", own) && Write(folder + "/hand-over-bank", handOver);
  return ok ? 0 : 1;
}
