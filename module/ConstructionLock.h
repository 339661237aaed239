// Hosts may make instances from several threads at once: every module entry
// constructs one plug-in at a time under the module's one lock, created on
// first use (thread-safe static initialisation) and kept until the process
// ends. An exception during construction gives null; none reaches the host.
#pragma once

#include <mutex>

#include "framework/CallFenced.h"

inline std::mutex& ModuleConstructionLock() {
  static std::mutex lock;
  return lock;
}

template <typename Make>
auto ConstructOneAtATime(Make&& make) noexcept -> decltype(make()) {
  return CallFenced([&] {
    std::lock_guard<std::mutex> guard(ModuleConstructionLock());
    return make();
  });
}
