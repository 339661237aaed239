// render's command line: the options and how they are parsed.
#pragma once

#include "tools/render/Automation.h"

#include <cstdint>
#include <string>
#include <vector>

namespace render {

struct ParameterAssignment {
  std::string name;   // parameter name or index as typed
  std::string value;  // value as typed, in the parameter's display units
};

struct RenderOptions {
  bool listOnly = false;
  bool useDouble = false;
  bool quiet = false;      // no progress bar and no summary; warnings still show
  bool force = false;      // the output may replace the input
  bool dither = true;      // TPDF dither when reducing to 16-bit or narrower PCM
  std::string pluginPath;  // empty: duoMangler.so where Vst2Search() finds it
  std::string presetPath;  // .fxp or .fxb file loaded first; empty: none
  std::string program;     // empty: the plug-in's current program
  std::string savePreset;  // .fxp file written after program and parameters are set
  std::string saveBank;    // .fxb file written likewise
  std::vector<ParameterAssignment> parameters;
  std::vector<AutomationLane> automation;  // played from the first frame on
  int32_t blockSize = 512;
  int32_t oversampling = 1;  // 2, 4 or 8: the plug-in runs at that multiple of the file's rate
  std::string container;     // lower-case format name; empty: follow the output's extension
  std::string encoding;      // lower-case encoding name; empty: keep the input's
  std::string input;
  std::string output;
  // A batch: every file is an input, each written to outputFolder under its
  // own name.
  std::string outputFolder;
  std::vector<std::string> inputs;
  int32_t jobs = 0;  // files of a batch rendered at once; 0: one per core
};

struct CommandLineResult {
  RenderOptions options;
  std::string error;  // one line; empty when the command line is valid
  std::string text;   // --help or --version: print this and stop
};

CommandLineResult ParseCommandLine(int argc, const char* const* argv);

constexpr int32_t kMaxBlockSize = 65536;
constexpr int32_t kMaxJobs = 256;

}  // namespace render
