#include "raster/RFontSystem.h"

namespace {

RFontSystem* installed = nullptr;

}  // namespace

RFontSystem& Raster_FontSystem() { return installed ? *installed : Raster_PlatformFontSystem(); }

void Raster_SetFontSystem(RFontSystem* system) { installed = system; }
