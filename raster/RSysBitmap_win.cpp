#include "raster/RSysBitmap.h"

#include <windows.h>

RSysBitmap::RSysBitmap(int32_t w, int32_t h) {
  dc = CreateCompatibleDC(nullptr);
  Resize(w, h);
}

RSysBitmap::~RSysBitmap() {
  ReleaseSection();
  if (dc) DeleteDC(dc);
}

void RSysBitmap::ReleaseSection() {
  if (previous) {
    SelectObject(dc, static_cast<HGDIOBJ>(previous));
    previous = nullptr;
  }
  if (dib) {
    DeleteObject(dib);
    dib = nullptr;
  }
  bits = nullptr;
}

bool RSysBitmap::Resize(int32_t newWidth, int32_t newHeight) {
  if (!dc) {
    width = height = 0;
    bits = nullptr;
    return false;
  }
  if (newWidth == width && newHeight == height) return false;
  width = newWidth;
  height = newHeight;
  // Any non-zero size that fits keeps the section (a negative one included:
  // drawing treats it as empty, and callers see the size they asked for).
  if (newWidth != 0 && newHeight != 0 && newWidth <= allocWidth && newHeight <= allocHeight && bits)
    return true;

  // Rows of a multiple of 4 pixels; computed wide so a huge width cannot wrap.
  const int64_t roundedWidth = (static_cast<int64_t>(newWidth) + 3) & ~static_cast<int64_t>(3);
  ReleaseSection();
  if (roundedWidth > INT32_MAX) {
    allocWidth = allocHeight = 0;
    width = height = 0;
    return true;
  }
  allocWidth = static_cast<int32_t>(roundedWidth);
  allocHeight = newHeight;
  if (allocWidth < 1 || newHeight < 1) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = allocWidth;
  // Negative height: rows top-down, matching IsBottomUp.
  info.bmiHeader.biHeight = IsBottomUp() ? newHeight : -newHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* sectionBits = nullptr;
  dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
  if (dib && sectionBits) {
    bits = static_cast<uint32_t*>(sectionBits);
    previous = SelectObject(dc, dib);
  } else {
    if (dib) DeleteObject(dib);
    dib = nullptr;
    width = height = 0;
    bits = nullptr;
  }
  return true;
}
