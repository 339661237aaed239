// The bundle binary's exported entry point: the descriptor through which an
// LV2 host makes, drives and destroys instances. Every call leads to the
// instance's IEffectLV2; no exception crosses into the host.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "framework/CallFenced.h"
#include "lv2/IEffectLV2.h"
#include "lv2/Lv2PluginFactory.h"
#include "module/ConstructionLock.h"

namespace {

// Runs call on the instance's plug-in. A null instance, or an exception on
// the way, gives failure: nothing may unwind into the host.
template <typename Call, typename Result>
Result CallPlugin(LV2_Handle instance, Call call, Result failure) {
  IEffectLV2* plugin = static_cast<IEffectLV2*>(instance);
  if (!plugin) return failure;
  return CallFenced([&] { return call(*plugin); }, failure);
}

template <typename Call>
void CallPlugin(LV2_Handle instance, Call call) {
  IEffectLV2* plugin = static_cast<IEffectLV2*>(instance);
  if (plugin) CallFenced([&] { call(*plugin); });
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  return ConstructOneAtATime([&]() -> LV2_Handle {
    IEffectLV2* plugin = CreateLv2Plugin(features);
    if (!plugin) return nullptr;
    plugin->EnsureOnePreset();
    plugin->Prepare(sampleRate);
    return plugin;
  });
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  CallPlugin(instance, [&](IEffectLV2& plugin) { plugin.ConnectPort(port, data); });
}

void Activate(LV2_Handle instance) {
  CallPlugin(instance, [](IEffectLV2& plugin) { plugin.Activate(); });
}

void Run(LV2_Handle instance, uint32_t frames) {
  CallPlugin(instance, [&](IEffectLV2& plugin) { plugin.Run(frames); });
}

void Deactivate(LV2_Handle instance) {
  CallPlugin(instance, [](IEffectLV2& plugin) { plugin.Deactivate(); });
}

void Cleanup(LV2_Handle instance) {
  CallPlugin(instance, [](IEffectLV2& plugin) { delete &plugin; });
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*) {
  return CallPlugin(
      instance, [&](IEffectLV2& plugin) { return plugin.StoreStateToHost(store, handle); },
      LV2_STATE_ERR_UNKNOWN);
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
  return CallPlugin(
      instance, [&](IEffectLV2& plugin) { return plugin.RestoreStateFromHost(retrieve, handle); },
      LV2_STATE_ERR_UNKNOWN);
}

const LV2_State_Interface kStateInterface = {Save, Restore};

const void* ExtensionData(const char* uri) {
  return uri && std::strcmp(uri, LV2_STATE__interface) == 0 ? &kStateInterface : nullptr;
}

const LV2_Descriptor kDescriptor = {kLv2Plugin.uri, Instantiate, ConnectPort,  Activate, Run,
                                    Deactivate,     Cleanup,     ExtensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
