// A VST 3 bundle driven through the VST 2.4 effect record the rest of render speaks.
#pragma once

#include "vst/VstInterface.h"

#include <string>

namespace render {

// A VST 3 bundle driven through the VST 2.4 effect record the rest of render
// speaks: the record's calls become the component's, the processor's and the
// edit controller's, so every feature (programs, parameters, presets,
// automation, oversampling, batches) works with either format.
//
// A path names a bundle when it is a folder ending in ".vst3".
bool IsVst3Bundle(const std::string& path);
// The bundle's Linux binary: Contents/x86_64-linux/<name>.so.
std::string Vst3BundleBinary(const std::string& bundle);
// The entry point that makes records on the factory of the loaded binary
// (GetPluginFactory's answer). One bundle per process.
VstPluginMainProc Vst3EntryPoint(void* factory);

}  // namespace render
