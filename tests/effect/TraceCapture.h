// Captures what the plug-in writes to the debugger output for the lifetime
// of the object.
#pragma once

#include <string>
#include <vector>

#include "platform/DebugOutput.h"

class TraceCapture {
 public:
  TraceCapture() : previous(SetDebugOutputSink(&Record)) { Lines().clear(); }
  ~TraceCapture() { SetDebugOutputSink(previous); }

  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }

 private:
  static void Record(const char* text) { Lines().emplace_back(text); }

  DebugOutputSink previous;
};
