// The host's side of the VST 2.4 interface: what render answers a plug-in's requests.
#pragma once

#include "vst/VstInterface.h"

#include <cstdint>

namespace render {

// What the host tells a plug-in about itself when asked.
constexpr const char* kHostProductName = "duoMangler render";
constexpr const char* kHostVendorName = "Qovak";
constexpr int32_t kHostVendorVersion = 10000;  // 1.0.0 in decimal form
constexpr double kHostTempo = 120.0;

// The host's side of one plug-in instance. The effect record's `user` field
// points to it, so the host callback finds it from the record.
struct HostState {
  double sampleRate = 44100.0;
  int32_t blockSize = 512;
  double samplePosition = 0.0;  // of the block being processed
  bool rendering = false;       // between mains on and mains off
  VstTimeInfo timeInfo{};       // handed out by audioMasterGetTime
};

// The callback handed to the module's entry point. Answers the requests an
// offline host can answer; everything else gets 0. Never throws.
intptr_t RenderHostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                            void* ptr, float opt) noexcept;

}  // namespace render
