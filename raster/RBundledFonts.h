// Where the platform has no font files to find (a web page), the program
// brings its own: it registers the faces it carries with the platform's font
// system, FreeType's, which draws a face not registered with the first one.
#pragma once

#include "raster/RFreeTypeFontSystem.h"

// The platform's font system there; faces are registered before the first
// font is opened. [window thread]
RFreeTypeFontSystem& Raster_BundledFontSystem();
