// The editor's back buffer: a bitmap the window system can paint from
// (RSysBitmap) where there is one, plain memory elsewhere, so the whole
// editor paints headless on every platform.
#pragma once

#include <cstdint>

class RBitmap;

RBitmap* NewBackBuffer(int32_t width, int32_t height);
