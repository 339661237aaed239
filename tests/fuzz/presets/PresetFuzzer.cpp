// Feeds arbitrary bytes to the preset file reader: it either refuses them
// with its error or returns a file that writes back to the same bytes once
// normalised (read, write, read, write gives equal bytes).
#include "tools/presets/PresetFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  presets::PresetFile file;
  try {
    file = presets::ParsePresetFile(bytes);
  } catch (const presets::PresetFileError&) {
    return 0;
  }
  const std::vector<uint8_t> written = presets::SerializePresetFile(file);
  const std::vector<uint8_t> again =
      presets::SerializePresetFile(presets::ParsePresetFile(written));
  if (again != written) {
    std::fprintf(stderr, "preset file does not survive being written and read\n");
    std::abort();
  }
  return 0;
}
