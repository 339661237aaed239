#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Drives a VST 2.4 module straight through its effect record, without any of
// the render tool's code, to produce the samples a correct host must produce.
namespace direct_host {

struct Settings {
  double sampleRate = 44100.0;
  int32_t blockSize = 1000;
  int32_t program = -1;  // -1: leave the current program
  bool useDouble = false;
};

// Processes interleaved samples of `channels` channels; the result has the
// same layout. Fails the current test (and returns empty) when the module
// cannot be loaded.
std::vector<double> Process(const std::string& modulePath, const std::vector<double>& interleaved,
                            int32_t channels, const Settings& settings);

}  // namespace direct_host
