// The decoding shared by the PNG loaders, fed either by a read callback or by
// an open file.
#pragma once

#include "raster/RBitmap.h"

#include <png.h>

#include <cstdio>

struct RPngSource {
  png_rw_ptr read = nullptr;  // custom reader, or null to read file
  void* readState = nullptr;
  FILE* file = nullptr;
};

// Null on any failure, with everything the decoder created released. Does
// not close the file.
RBitmap* Raster_DecodePng(const RPngSource& source, RBitmap* target);
