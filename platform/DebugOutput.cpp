#include "platform/DebugOutput.h"

#include <atomic>

namespace {

std::atomic<DebugOutputSink> currentSink{nullptr};

}  // namespace

void WriteDebugOutput(const char* text) {
  if (text == nullptr) return;
  const DebugOutputSink sink = currentSink.load(std::memory_order_acquire);
  if (sink != nullptr) {
    sink(text);
  } else {
    PlatformDebugOutput(text);
  }
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
  return currentSink.exchange(sink, std::memory_order_acq_rel);
}
