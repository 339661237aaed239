// The effect constructed in the test process, for the requests a host cannot
// provoke from outside (the plug-in's own calls to the host) and for probes
// into the processor. Driven through its effect record like the module.
#pragma once

#include "effect/DuoManglerEffect.h"
#include "tests/vst/RecordingHost.h"
#include "vst/VstInterface.h"

template <typename Effect = DuoManglerEffect>
class InProcessPlugin {
 public:
  // Arguments after the host callback go to the effect's constructor.
  template <typename... Args>
  explicit InProcessPlugin(const Args&... args)
      : effect(new Effect(&RecordingHost::Callback, args...)) {
    record = effect->Effect();
    host.Claim(record);
  }
  ~InProcessPlugin() { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }
  InProcessPlugin(const InProcessPlugin&) = delete;
  InProcessPlugin& operator=(const InProcessPlugin&) = delete;

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  RecordingHost host;
  Effect* effect;  // owned by the record: effClose destroys it
  AEffect* record;
};
