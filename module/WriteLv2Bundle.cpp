// A build step: writes the Turtle files of the LV2 bundle from the plug-in
// itself, so that the description cannot drift from the binary.
//   write_lv2_bundle BUNDLE_DIR BINARY_FILE
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "lv2/IEffectLV2.h"
#include "lv2/Lv2PluginFactory.h"
#include "lv2/Lv2Turtle.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (file) return true;
  std::fprintf(stderr, "write_lv2_bundle: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: write_lv2_bundle BUNDLE_DIR BINARY_FILE\n");
    return 2;
  }
  const std::string bundle = argv[1];
  const std::unique_ptr<IEffectLV2> plugin(CreateLv2Plugin(nullptr));
  if (!plugin) {
    std::fprintf(stderr, "write_lv2_bundle: the plug-in cannot be made\n");
    return 1;
  }
  const std::string pluginFile = std::string(plugin->EffectName()) + ".ttl";
  const Lv2BundleText text = DescribeLv2Bundle(*plugin, kLv2Plugin, pluginFile, argv[2]);
  const bool written = WriteFile(bundle + "/manifest.ttl", text.manifest) &&
                       WriteFile(bundle + "/" + pluginFile, text.plugin) &&
                       WriteFile(bundle + "/presets.ttl", text.presets);
  return written ? 0 : 1;
}
