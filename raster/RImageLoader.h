// The process-wide list of image-file loaders. The PNG loader registers
// itself at static initialisation.
#pragma once

#include "raster/RBitmap.h"

struct RImageLoader {
  // Null when the file cannot be loaded (or, with checkExtension, has the
  // wrong extension).
  RBitmap* (*load)(const char* path, bool checkExtension, RBitmap* target);
  const char* (*describe)();
  RImageLoader* next;
};

extern RImageLoader* Raster_ImageLoaders;

// The PNG record; referencing it keeps the registration linked in.
extern RImageLoader Raster_PngImageLoader;
