#include "tools/render/HostCallback.h"

#include "framework/TextCopy.h"

#include <cmath>
#include <cstring>

namespace render {
namespace {

// Requests that arrive before the record's `user` field is set (during the
// entry point) are answered from the defaults.
HostState& StateOf(AEffect* effect) {
  static HostState defaults;
  if (effect && effect->user) {
    return *static_cast<HostState*>(effect->user);
  }
  return defaults;
}

intptr_t CopyText(void* ptr, const char* text, size_t capacity) {
  if (!ptr) {
    return 0;
  }
  CopyTextBounded(static_cast<char*>(ptr), capacity, text);
  return 1;
}

// A steady 120 bpm 4/4 transport that runs while rendering, so tempo-synced
// plug-ins see the same musical time a DAW playing from bar 1 would give.
VstTimeInfo* FillTimeInfo(HostState& state) {
  VstTimeInfo& t = state.timeInfo;
  t = VstTimeInfo{};
  t.samplePos = state.samplePosition;
  t.sampleRate = state.sampleRate;
  t.tempo = kHostTempo;
  t.ppqPos = state.samplePosition / state.sampleRate * kHostTempo / 60.0;
  t.barStartPos = std::floor(t.ppqPos / 4.0) * 4.0;
  t.timeSigNumerator = 4;
  t.timeSigDenominator = 4;
  t.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid | kVstBarsValid;
  if (state.rendering) {
    t.flags |= kVstTransportPlaying;
  }
  return &t;
}

intptr_t CanDo(const void* ptr) {
  if (!ptr) {
    return 0;
  }
  const char* text = static_cast<const char*>(ptr);
  if (std::strcmp(text, "sendVstTimeInfo") == 0) {
    return 1;
  }
  return 0;
}

constexpr intptr_t kProcessLevelOffline = 4;
constexpr intptr_t kAutomationOff = 1;
constexpr intptr_t kLanguageEnglish = 1;

}  // namespace

intptr_t RenderHostCallback(AEffect* effect, int32_t opcode, int32_t /*index*/, intptr_t /*value*/,
                            void* ptr, float /*opt*/) noexcept {
  HostState& state = StateOf(effect);
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetTime:
      return reinterpret_cast<intptr_t>(FillTimeInfo(state));
    case audioMasterGetSampleRate:
      return static_cast<intptr_t>(state.sampleRate);
    case audioMasterGetBlockSize:
      return state.blockSize;
    case audioMasterGetCurrentProcessLevel:
      return state.rendering ? kProcessLevelOffline : 0;
    case audioMasterGetAutomationState:
      return kAutomationOff;
    case audioMasterGetVendorString:
      return CopyText(ptr, kHostVendorName, kVstMaxVendorStrLen);
    case audioMasterGetProductString:
      return CopyText(ptr, kHostProductName, kVstMaxProductStrLen);
    case audioMasterGetVendorVersion:
      return kHostVendorVersion;
    case audioMasterCanDo:
      return CanDo(ptr);
    case audioMasterGetLanguage:
      return kLanguageEnglish;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterAutomate:
    case audioMasterUpdateDisplay:
      return 1;
    default:
      return 0;
  }
}

}  // namespace render
