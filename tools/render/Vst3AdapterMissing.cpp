// Built without the VST 3 SDK's interfaces: bundles are not recognised, so
// render reports them as modules it cannot load.
#include "tools/render/Vst3Adapter.h"

namespace render {

bool IsVst3Bundle(const std::string&) { return false; }
std::string Vst3BundleBinary(const std::string& bundle) { return bundle; }
VstPluginMainProc Vst3EntryPoint(void*) { return nullptr; }

}  // namespace render
