// The plug-in's one re-entrant lock: the thread holding it can take it again
// any number of times, so operations that take it may call one another. Who
// takes it and when is the plug-in base's rule (framework/IEffectBase.h).
#pragma once

#include <cstddef>

class PluginLock {
 public:
  PluginLock();
  ~PluginLock();

  PluginLock(const PluginLock&) = delete;
  PluginLock& operator=(const PluginLock&) = delete;

  void Enter();
  void Leave();
  // True when the lock was taken (the caller then Leave()s it).
  bool TryEnter();

 private:
  // Room for the native primitive (a critical section on Windows, a recursive
  // mutex elsewhere) without exposing the system headers to every includer.
  static constexpr size_t kStorageBytes = 64;
  alignas(16) unsigned char storage[kStorageBytes];
};

// Holds the lock for the lifetime of a scope.
class PluginLockGuard {
 public:
  explicit PluginLockGuard(PluginLock& lockToHold) : held(lockToHold) { held.Enter(); }
  ~PluginLockGuard() { held.Leave(); }

  PluginLockGuard(const PluginLockGuard&) = delete;
  PluginLockGuard& operator=(const PluginLockGuard&) = delete;

 private:
  PluginLock& held;
};
