// The process-wide bitmap cache shared by every editor instance of the
// module: images loaded by resource id, and unscaled copies of parts of
// them. It owns every bitmap it holds; entries stay until the module
// unloads. [any thread; the cache takes its own lock]
#pragma once

#include <cstdint>

#include "editor/IBounds.h"

class RBitmap;

namespace IBitmapCache {

// The bitmap cached for id, or what load(context) returns, which is then
// kept. Loading runs under the cache's lock, so two editors asking for the
// same id at once get the same bitmap. A failed load (null) is not kept.
RBitmap* FindOrLoad(int32_t id, RBitmap* (*load)(void* context), void* context);

// The copy of area of source made earlier, or what copy(context) returns,
// which is then kept. Editors of every plug-in instance share the copies, so
// opening more instances does not grow the cache.
RBitmap* FindOrCopy(RBitmap* source, const IBounds& area, RBitmap* (*copy)(void* context),
                    void* context);

// Entries held, for tests.
int32_t Count();

}  // namespace IBitmapCache
