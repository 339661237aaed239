// The countdown after which the plug-in's deferred end of an edit gesture
// goes to the host (IEffectBase::DeferEndOfEdit): a wheel turn is one
// gesture however many notches it has, and it ends half a second after the
// last one. The plug-in arms and stops the countdown with its lock held,
// from any thread; the window counts it down on its repaint ticks. The
// count is atomic, and a tick's decrement counts only if nothing armed or
// stopped the countdown meanwhile, so a re-armed countdown is never cut
// short by a tick that read the old count.
#pragma once

#include <atomic>
#include <cstdint>

class IEffectBase;

class IEndEditCountdown {
 public:
  // [any thread, plug-in lock held]
  void Start(int32_t ticks) { remaining.store(ticks); }
  void Stop() { remaining.store(0); }

  // [GUI thread] One repaint tick: the end goes to the host when this tick
  // brings the count to zero.
  void Tick(IEffectBase* plugin);
  // [GUI thread] The window is closing, and the plug-in may be on its way
  // out: a pending end goes now, while the binding that sends it is intact.
  void FlushAtClose(IEffectBase* plugin);

 private:
  std::atomic<int32_t> remaining{0};
};
