#include "platform/PluginLock.h"

#include <windows.h>

#include <new>

namespace {

CRITICAL_SECTION* Native(unsigned char* storage) {
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

}  // namespace

PluginLock::PluginLock() {
  static_assert(sizeof(CRITICAL_SECTION) <= kStorageBytes, "lock storage too small");
  static_assert(alignof(CRITICAL_SECTION) <= 16, "lock storage misaligned");
  InitializeCriticalSection(new (storage) CRITICAL_SECTION);
}

PluginLock::~PluginLock() { DeleteCriticalSection(Native(storage)); }

void PluginLock::Enter() { EnterCriticalSection(Native(storage)); }

void PluginLock::Leave() { LeaveCriticalSection(Native(storage)); }

bool PluginLock::TryEnter() { return TryEnterCriticalSection(Native(storage)) != 0; }
