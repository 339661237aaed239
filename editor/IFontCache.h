// The process-wide font cache shared by every editor instance of the
// module: one cached font per face, size, orientation and style. It owns
// the fonts; entries stay until the module unloads. [any thread; the cache
// takes its own lock; the fonts themselves draw on the GUI thread only]
#pragma once

#include "editor/ITextStyle.h"

namespace IFontCache {

// The font for the style's key (size, orientation, style, face; quality and
// colour are not part of it), made through the process's font system on
// first request. Null, and nothing kept, when the font cannot be made.
RCachedFont* FindOrCreate(const ITextStyle& style);

}  // namespace IFontCache
