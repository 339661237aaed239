// The layer the effect derives from: the format binding on top of the plug-in
// base. Until the VST 2.4 binding is built this is a stand-in with the same
// constructor that answers every request towards the host with nothing, so
// the effect can be constructed and driven directly (as the tests do).
// Replacing it by the binding is one line: using EffectHost = IEffectVST;
#pragma once

#include <cstdint>

#include "framework/IEffectBase.h"
#include "vst/VstInterface.h"

class EffectHost : public IEffectBase {
 public:
  EffectHost(audioMasterCallback host, int32_t parameterCount, const char* channelString,
             int32_t presetCount, const char* effect, const char* product, const char* maker,
             int32_t effectVersion, int32_t pluginId, int32_t vendorId, int32_t latencySamples,
             int32_t midi, bool chunks, bool instrument);

  void HostBeginEdit(int32_t) override {}
  void HostBeginEditUnlessPending(int32_t) override {}
  void HostAutomate(int32_t, double) override {}
  void HostEndEdit(int32_t) override {}
  void HostRefreshDisplay() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int32_t& numerator, int32_t& denominator) override {
    numerator = 4;
    denominator = 4;
  }
  void EditorResized(int32_t, int32_t) override {}
  void HostSpecificSetup() override {}
  bool SendMidiMessage(const IShortMidi&) override { return false; }
  bool SendSystemExclusive(const ISysExBlock&) override { return false; }
};

inline EffectHost::EffectHost(audioMasterCallback, int32_t parameterCount,
                              const char* channelString, int32_t presetCount, const char* effect,
                              const char* product, const char* maker, int32_t effectVersion,
                              int32_t pluginId, int32_t vendorId, int32_t latencySamples,
                              int32_t midi, bool chunks, bool instrument)
    : IEffectBase(parameterCount, channelString, presetCount, effect, product, maker,
                  effectVersion, pluginId, vendorId, latencySamples, midi, chunks, instrument) {
  // As the binding does: every channel connected, buffers for 1024 frames.
  ConnectInputs(0, InputCount(), true);
  ConnectOutputs(0, OutputCount(), true);
  PrepareForBlockSize(1024);
}
