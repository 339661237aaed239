// The platform's font system where the program brings its own fonts (the
// browser): FreeType fonts from the faces registered with it. Until one is
// registered, no font can be made and text draws nothing.
#include "raster/RFreeTypeFontSystem.h"

RFreeTypeFontSystem& Raster_FreeTypeFontSystem() {
  // Never destroyed: fonts held in process-wide caches close their handles
  // through it when those caches go at unload, later than a static would.
  static RFreeTypeFontSystem* const system = new RFreeTypeFontSystem;
  return *system;
}

RFontSystem& Raster_PlatformFontSystem() { return Raster_FreeTypeFontSystem(); }
