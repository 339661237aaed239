// The plug-in side of the editor tests: the test effect with the real
// effect's nine parameters, whose begin-edit behaves as the VST binding's
// does (a begin first flushes a deferred end; the wheel's begin is skipped
// while that parameter's end is pending).
#pragma once

#include "tests/framework/TestEffect.h"

class EditorTestPlugin : public TestEffect {
 public:
  EditorTestPlugin() { DefineEffectParameters(); }

  void HostBeginEdit(int32_t index) override {
    FlushDeferredEndOfEdit();
    TestEffect::HostBeginEdit(index);
  }
  void HostBeginEditUnlessPending(int32_t index) override {
    if (index == PendingEndEdit()) return;
    HostBeginEdit(index);
  }
  void EditorResized(int32_t w, int32_t h) override {
    resizedWidth = w;
    resizedHeight = h;
  }

  // The host events of one kind, as (kind, index) pairs in order.
  std::vector<std::string> Gestures() const {
    std::vector<std::string> out;
    for (const HostEvent& e : events) {
      if (e.what == "changed") continue;
      out.push_back(e.what + " " + std::to_string(e.index));
    }
    return out;
  }

  int32_t resizedWidth = -1;
  int32_t resizedHeight = -1;
};
