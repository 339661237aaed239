#include "editor/IEndEditCountdown.h"

#include "framework/IEffectBase.h"

void IEndEditCountdown::Tick(IEffectBase* plugin) {
  int32_t ticks = remaining.load();
  if (ticks == 0) return;
  if (!remaining.compare_exchange_strong(ticks, ticks - 1) || ticks - 1 != 0) return;
  if (plugin) plugin->FlushDeferredEndOfEdit();
}

void IEndEditCountdown::FlushAtClose(IEffectBase* plugin) {
  if (remaining.load() != 0 && plugin) plugin->FlushDeferredEndOfEdit();
}
