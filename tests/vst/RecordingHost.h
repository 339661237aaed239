// A host side for the tests: answers the plug-in's requests the way a DAW
// would (product name, version, time information, events) and records every
// request so tests can check what the plug-in asked and when.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "vst/VstInterface.h"

class RecordingHost {
 public:
  struct Request {
    int32_t opcode = 0;
    int32_t index = 0;
    intptr_t value = 0;
    float opt = 0.0f;
    bool hadPointer = false;
    // Copies of what the plug-in handed over, taken during the call because
    // the records live on the plug-in's stack.
    int32_t numEvents = 0;
    intptr_t eventsReserved = 0;
    bool entryAfterLastIsNull = false;  // the declared second slot, for one event
    std::vector<VstMidiEvent> midiEvents;
    std::vector<VstMidiSysexEvent> sysexEvents;
  };

  // The function handed to the entry point. It finds the host object through
  // the record's `user` field, which the host owns; requests that arrive
  // before the host has claimed the record go to Unclaimed().
  static intptr_t Callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                           void* ptr, float opt);
  static RecordingHost& Unclaimed();

  void Claim(AEffect* effect) { effect->user = this; }

  // Answers.
  std::string productString = "Recording Test Host";
  intptr_t vendorVersion = 10203;
  std::optional<VstTimeInfo> timeInfo;
  intptr_t processEventsAnswer = 1;

  std::vector<Request> Requests() const;
  std::vector<Request> RequestsWith(int32_t opcode) const;
  size_t CountOf(int32_t opcode) const;
  void Clear();

 private:
  intptr_t Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  static void CopyEvents(const VstEvents* events, Request& request);

  mutable std::mutex mutex_;
  std::vector<Request> requests_;
  VstTimeInfo timeAnswer_{};
};
