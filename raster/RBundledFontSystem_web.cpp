#include "raster/RBundledFonts.h"

RFreeTypeFontSystem& Raster_BundledFontSystem() {
  // Never destroyed: fonts held in process-wide caches close their handles
  // through it when those caches go, later than a static would.
  static RFreeTypeFontSystem* const system = new RFreeTypeFontSystem;
  return *system;
}

RFontSystem& Raster_PlatformFontSystem() { return Raster_BundledFontSystem(); }
