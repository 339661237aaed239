#include "platform/ModuleInstance.h"

#include <atomic>

namespace {

std::atomic<void*> moduleInstance{nullptr};

}  // namespace

void RecordModuleInstance(void* handle) { moduleInstance.store(handle); }

void* ModuleInstance() { return moduleInstance.load(); }
