// The audio processor a VST 3 host runs: one audio input and one audio
// output bus, stereo or mono on both; 32- or 64-bit samples; the host's
// parameter changes applied at their sample offsets, the block split there;
// the bypass with its crossfade; the state as bank and current program.
//
// Threads: process runs on the host's audio thread and holds the plug-in
// lock for the whole block; the other calls come from the host's main thread
// and take it per operation. process allocates nothing.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "vst3/Vst3Bypass.h"
#include "vst3/Vst3Objects.h"
#include "vst3/Vst3PluginFactory.h"

class IEffectVST3;

class Vst3Component final : public Steinberg::Vst::IComponent,
                            public Steinberg::Vst::IAudioProcessor {
 public:
  // Null when the plug-in cannot be made.
  static Vst3Component* Create(Vst3PluginMaker make);
  ~Vst3Component();

  // FUnknown
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return refs.Add(); }
  Steinberg::uint32 PLUGIN_API release() override;

  // IPluginBase
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent
  Steinberg::tresult PLUGIN_API getControllerClassId(Steinberg::TUID classId) override;
  Steinberg::tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) override;
  Steinberg::int32 PLUGIN_API getBusCount(Steinberg::Vst::MediaType type,
                                          Steinberg::Vst::BusDirection dir) override;
  Steinberg::tresult PLUGIN_API getBusInfo(Steinberg::Vst::MediaType type,
                                           Steinberg::Vst::BusDirection dir, Steinberg::int32 index,
                                           Steinberg::Vst::BusInfo& bus) override;
  Steinberg::tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                               Steinberg::Vst::RoutingInfo& outInfo) override;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type,
                                            Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index,
                                            Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;

  // IAudioProcessor
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API getBusArrangement(Steinberg::Vst::BusDirection dir,
                                                  Steinberg::int32 index,
                                                  Steinberg::Vst::SpeakerArrangement& arr) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

 private:
  explicit Vst3Component(IEffectVST3* plugin);
  void ApplyChange(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);
  template <typename Sample>
  void RunPiece(Sample* const* inputs, Sample* const* outputs, int32_t channels, int32_t offset,
                int32_t frames);
  template <typename Sample>
  Steinberg::uint64 SilentChannels(Sample* const* outputs, int32_t channels, int32_t frames) const;

  Vst3RefCount refs;
  IEffectVST3* effect;
  Vst3Bypass bypass;
  Steinberg::Vst::SpeakerArrangement arrangement;
  int32_t channels = 2;
};
