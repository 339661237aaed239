#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// VST 2 program (.fxp) and bank (.fxb) files as hosts write them: a
// big-endian header ('CcnK', size of the rest, kind, format version, the
// plug-in's unique ID and version) followed by parameter values or by the
// plug-in's opaque chunk.
namespace presets {

// Why bytes are no usable preset file; the text names the reason.
class PresetFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr size_t kProgramNameBytes = 28;
// Beyond any real plug-in's state; keeps a damaged size field from asking
// for gigabytes.
constexpr size_t kMostPresetFileBytes = size_t{64} << 20;

struct PresetProgram {
  std::string name;           // up to 27 characters
  std::vector<float> values;  // normalised, one per parameter
};

struct PresetFile {
  bool isBank = false;
  bool opaque = false;  // the plug-in's own chunk instead of parameter values
  int32_t pluginId = 0;
  int32_t pluginVersion = 0;
  int32_t parameterCount = 0;           // of each program ('FxCk', 'FxBk')
  int32_t programCount = 0;             // of a bank
  int32_t currentProgram = -1;          // banks of format version 2; -1 when not given
  std::string programName;              // of an opaque program ('FPCh')
  std::vector<PresetProgram> programs;  // 'FxCk': one; 'FxBk': programCount
  std::vector<uint8_t> chunk;           // 'FPCh', 'FBCh'
};

// Reads a whole file's bytes. Throws PresetFileError for a wrong magic, a
// size field that disagrees with the file's length, a truncated or
// oversized file, counts that do not fit, or values outside 0...1.
PresetFile ParsePresetFile(const std::vector<uint8_t>& bytes);

// The bytes of a file; ParsePresetFile reads them back to an equal value.
std::vector<uint8_t> SerializePresetFile(const PresetFile& file);

}  // namespace presets
