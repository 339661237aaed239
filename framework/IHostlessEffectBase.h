// The plug-in base for bindings whose host offers none of the services the
// base may ask for (LV2 without a user interface of its own, a web page): edit
// notices, display refreshes and MIDI output go nowhere, the transport is
// stopped at 120 bpm in 4/4, and a resize is not passed on.
//
// Threads: as the base; these answer at once on any thread.
#pragma once

#include <cstdint>

#include "framework/IEffectBase.h"

class IHostlessEffectBase : public IEffectBase {
 public:
  using IEffectBase::IEffectBase;

  void HostBeginEdit(int32_t) override {}
  void HostBeginEditUnlessPending(int32_t) override {}
  void HostAutomate(int32_t, double) override {}
  void HostEndEdit(int32_t) override {}
  void HostRefreshDisplay() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 120.0; }
  void HostTimeSignature(int32_t& numerator, int32_t& denominator) override {
    numerator = 4;
    denominator = 4;
  }
  void EditorResized(int32_t, int32_t) override {}
  void HostSpecificSetup() override {}
  bool SendMidiMessage(const IShortMidi&) override { return false; }
  bool SendSystemExclusive(const ISysExBlock&) override { return false; }
};
