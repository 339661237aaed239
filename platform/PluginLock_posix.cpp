#include "platform/PluginLock.h"

#include <mutex>
#include <new>

namespace {

std::recursive_mutex& Native(unsigned char* storage) {
  return *std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}

}  // namespace

PluginLock::PluginLock() {
  static_assert(sizeof(std::recursive_mutex) <= kStorageBytes, "lock storage too small");
  static_assert(alignof(std::recursive_mutex) <= 16, "lock storage misaligned");
  new (storage) std::recursive_mutex();
}

PluginLock::~PluginLock() { Native(storage).~recursive_mutex(); }

void PluginLock::Enter() { Native(storage).lock(); }

void PluginLock::Leave() { Native(storage).unlock(); }

bool PluginLock::TryEnter() { return Native(storage).try_lock(); }
