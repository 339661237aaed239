#include "vst/VstCallbacks.h"

#include <utility>

#include "framework/CallFenced.h"
#include "vst/IEffectVST.h"

namespace {

// Runs call on the plug-in behind the record. A record without a plug-in, or
// an exception on the way, gives the result type's zero: nothing may unwind
// into the host.
template <typename Call>
auto CallPlugin(AEffect* effect, Call call) -> decltype(call(std::declval<IEffectVST&>())) {
  using Result = decltype(call(std::declval<IEffectVST&>()));
  IEffectVST* plugin = IEffectVST::FromEffect(effect);
  if (!plugin) return Result();
  return CallFenced([&] { return call(*plugin); });
}

void Close(IEffectVST& plugin) {
  // Waits for any call still running on another thread; the lock must not be
  // held while the plug-in (and the lock with it) is destroyed.
  plugin.Lock().Enter();
  plugin.Lock().Leave();
  delete &plugin;
}

}  // namespace

namespace VstCallbacks {

intptr_t Dispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                    float opt) {
  return CallPlugin(effect, [&](IEffectVST& plugin) -> intptr_t {
    if (opcode == effClose) {
      Close(plugin);
      return 0;
    }
    return plugin.Dispatch(opcode, index, value, ptr, opt);
  });
}

void ProcessAccumulating(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
  CallPlugin(effect,
             [&](IEffectVST& plugin) { plugin.ProcessSingle(inputs, outputs, frames, true); });
}

void ProcessReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
  CallPlugin(effect,
             [&](IEffectVST& plugin) { plugin.ProcessSingle(inputs, outputs, frames, false); });
}

void ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, int32_t frames) {
  CallPlugin(effect, [&](IEffectVST& plugin) { plugin.ProcessDouble(inputs, outputs, frames); });
}

void SetParameter(AEffect* effect, int32_t index, float value) {
  CallPlugin(effect, [&](IEffectVST& plugin) { plugin.SetParameterFromHost(index, value); });
}

float GetParameter(AEffect* effect, int32_t index) {
  return CallPlugin(effect, [&](IEffectVST& plugin) { return plugin.ParameterForHost(index); });
}

}  // namespace VstCallbacks
