// Feeds arbitrary bytes to the VST 3 plug-in's state reader, as a host's
// setState does. Bytes it refuses must leave the state as it was; bytes it
// takes must give a state that reads back to itself.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "framework/IStateBuffer.h"
#include "vst3/IEffectVST3.h"
#include "vst3/Vst3PluginFactory.h"

namespace {

IEffectVST3& Plugin() {
  static IEffectVST3* plugin = CreateVst3Plugin(nullptr);
  return *plugin;
}

bool SameState(IStateBuffer& a, IStateBuffer& b) {
  return a.Size() == b.Size() && std::equal(a.Data(), a.Data() + a.Size(), b.Data());
}

[[noreturn]] void Fail(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IEffectVST3& plugin = Plugin();
  IStateBuffer before;
  if (!plugin.WriteState(before)) Fail("no state to start from");
  int32_t bypass = -1;
  const bool taken = plugin.ReadState(data, static_cast<int64_t>(size), bypass);
  IStateBuffer after;
  if (!plugin.WriteState(after)) Fail("no state after reading");
  if (!taken) {
    if (!SameState(before, after)) Fail("a refused state changed the plug-in");
    return 0;
  }
  if (!plugin.ReadState(after.Data(), after.Size(), bypass)) Fail("its own state is refused");
  IStateBuffer again;
  plugin.WriteState(again);
  if (!SameState(after, again)) Fail("its own state does not read back to itself");
  return 0;
}
