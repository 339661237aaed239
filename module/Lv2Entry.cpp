// The bundle binary's exported entry point: the descriptor through which an
// LV2 host makes, drives and destroys instances. Every call leads to the
// instance's IEffectLV2; no exception crosses into the host.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>
#include <mutex>

#include "lv2/IEffectLV2.h"
#include "lv2/Lv2PluginFactory.h"

namespace {

IEffectLV2* PluginOf(LV2_Handle instance) { return static_cast<IEffectLV2*>(instance); }

// Hosts may make instances from several threads at once; construction runs
// one at a time, as for the other formats.
std::mutex& ConstructionLock() {
  static std::mutex lock;
  return lock;
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  try {
    std::lock_guard<std::mutex> guard(ConstructionLock());
    IEffectLV2* plugin = CreateLv2Plugin(features);
    if (!plugin) return nullptr;
    plugin->EnsureOnePreset();
    plugin->Prepare(sampleRate);
    return plugin;
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  PluginOf(instance)->ConnectPort(port, data);
}

void Activate(LV2_Handle instance) { PluginOf(instance)->Activate(); }

void Run(LV2_Handle instance, uint32_t frames) { PluginOf(instance)->Run(frames); }

void Deactivate(LV2_Handle instance) { PluginOf(instance)->Deactivate(); }

void Cleanup(LV2_Handle instance) { delete PluginOf(instance); }

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*) {
  try {
    return PluginOf(instance)->StoreStateToHost(store, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
  try {
    return PluginOf(instance)->RestoreStateFromHost(retrieve, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
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
