#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace render {

struct ParameterAssignment {
  std::string name;   // parameter name or index as typed
  std::string value;  // value as typed, in the parameter's display units
};

struct RenderOptions {
  bool showHelp = false;
  bool listOnly = false;
  bool useDouble = false;
  bool quiet = false;
  std::string pluginPath;  // empty: the module next to the build tree
  std::string program;     // empty: the plug-in's current program
  std::vector<ParameterAssignment> parameters;
  int32_t blockSize = 512;
  std::string container;  // "wav", "flac", "aiff"; empty: keep or follow the output's extension
  std::string encoding;   // "pcm16", "pcm24", "pcm32", "float", "double"; empty: keep
  std::string input;
  std::string output;
};

struct CommandLineResult {
  RenderOptions options;
  std::string error;  // empty when the command line is valid
};

CommandLineResult ParseCommandLine(int argc, const char* const* argv);

std::string UsageText();

constexpr int32_t kMaxBlockSize = 65536;

}  // namespace render
