// The editor with a native window for this platform, for the effect to fill
// and attach. Null where the platform has no editor window yet (the module
// then offers none and hosts show their own controls).
#pragma once

#include <cstdint>

class IEditor;
class IEffectBase;

// moduleInstance is the module whose resources hold the images. fps 0 gives
// 24 repaints per second. [constructing thread]
IEditor* NewPlatformEditor(IEffectBase* plugin, int32_t width, int32_t height, int32_t fps,
                           void* moduleInstance);
