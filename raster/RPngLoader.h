// PNG decoding into bitmaps. Every image comes out as pixel words
// 0xAARRGGBB with 8-bit channels; images without alpha or transparency get
// alpha 255. Each loader returns the bitmap it filled, or null: with a
// target the image is decoded into it after Resize(image size) (a target is
// never destroyed, even on failure); without one a new RMemBitmap (row
// alignment 4) is returned and the caller owns it.
#pragma once

#include "raster/RBitmap.h"

#include <cstddef>

// Bytes past the end of data read as zeros.
RBitmap* Raster_LoadPngMemory(const void* data, size_t size, RBitmap* target = nullptr);

// path is taken as UTF-8 first, then as the platform's own multibyte path.
RBitmap* Raster_LoadPngFile(const char* path, RBitmap* target = nullptr);
