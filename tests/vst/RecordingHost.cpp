#include "tests/vst/RecordingHost.h"

#include <cstring>

intptr_t RecordingHost::Callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt) {
  RecordingHost* host =
      (effect && effect->user) ? static_cast<RecordingHost*>(effect->user) : &Unclaimed();
  return host->Answer(opcode, index, value, ptr, opt);
}

RecordingHost& RecordingHost::Unclaimed() {
  static RecordingHost host;
  return host;
}

intptr_t RecordingHost::Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
  std::lock_guard<std::mutex> guard(mutex_);
  Request request;
  request.opcode = opcode;
  request.index = index;
  request.value = value;
  request.opt = opt;
  request.hadPointer = ptr != nullptr;
  intptr_t answer = 0;
  switch (opcode) {
    case audioMasterVersion:
      answer = kVstVersion;
      break;
    case audioMasterGetProductString:
      // Hosts write at most 64 bytes here.
      if (ptr) std::strncpy(static_cast<char*>(ptr), productString.substr(0, 63).c_str(), 64);
      answer = 1;
      break;
    case audioMasterGetVendorVersion:
      answer = vendorVersion;
      break;
    case audioMasterGetTime:
      if (timeInfo) {
        timeAnswer_ = *timeInfo;
        answer = reinterpret_cast<intptr_t>(&timeAnswer_);
      }
      break;
    case audioMasterProcessEvents:
      CopyEvents(static_cast<const VstEvents*>(ptr), request);
      answer = processEventsAnswer;
      break;
    default:
      break;
  }
  requests_.push_back(std::move(request));
  return answer;
}

void RecordingHost::CopyEvents(const VstEvents* events, Request& request) {
  if (!events) return;
  request.numEvents = events->numEvents;
  request.eventsReserved = events->reserved;
  request.entryAfterLastIsNull = events->numEvents == 1 && events->events[1] == nullptr;
  const VstEvent* const* list = events->events;
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == kVstMidiType)
      request.midiEvents.push_back(*reinterpret_cast<const VstMidiEvent*>(event));
    else if (event->type == kVstSysExType)
      request.sysexEvents.push_back(*reinterpret_cast<const VstMidiSysexEvent*>(event));
  }
}

std::vector<RecordingHost::Request> RecordingHost::Requests() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return requests_;
}

std::vector<RecordingHost::Request> RecordingHost::RequestsWith(int32_t opcode) const {
  std::lock_guard<std::mutex> guard(mutex_);
  std::vector<Request> result;
  for (const Request& request : requests_)
    if (request.opcode == opcode) result.push_back(request);
  return result;
}

size_t RecordingHost::CountOf(int32_t opcode) const { return RequestsWith(opcode).size(); }

void RecordingHost::Clear() {
  std::lock_guard<std::mutex> guard(mutex_);
  requests_.clear();
}
