// A bitmap whose pixels live in a Windows DIB section selected into its own
// memory device context, so GDI can draw into it and windows can be painted
// from it. Windows only.
#pragma once

#include "raster/RBitmap.h"

struct HBITMAP__;

class RSysBitmap : public RBitmap {
 public:
  RSysBitmap(int32_t width, int32_t height);
  ~RSysBitmap() override;

  uint32_t* Pixels() override { return bits; }
  int32_t Width() override { return width; }
  int32_t Height() override { return height; }
  int32_t RowSpan() override { return allocWidth; }
  // Keeps the DIB section for any non-zero size that fits it; otherwise
  // replaces it with one whose width is rounded up to 4 pixels.
  bool Resize(int32_t newWidth, int32_t newHeight) override;
  RDeviceContext DeviceContext() override { return dc; }

 private:
  void ReleaseSection();

  int32_t width = 0;
  int32_t height = 0;
  RDeviceContext dc = nullptr;
  uint32_t* bits = nullptr;
  int32_t allocWidth = 0;
  int32_t allocHeight = 0;
  HBITMAP__* dib = nullptr;
  void* previous = nullptr;  // the object the DIB section displaced in dc
};
