// Loading a PNG image from a module resource of type "PNG". Windows only.
#pragma once

#include "raster/RBitmap.h"

#include <cstdint>

struct HINSTANCE__;

// Only the low 16 bits of resourceId are used. Null for a missing resource,
// one of 7 bytes or less, or one that does not hold a PNG image.
RBitmap* Raster_LoadPngResource(HINSTANCE__* module, int32_t resourceId, RBitmap* target = nullptr);
