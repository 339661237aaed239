// The one interface through which every drawing operation reaches pixels.
// Pixels are 32-bit words 0xAARRGGBB with straight (not premultiplied) alpha.
#pragma once

#include <cstdint>

// Opaque Windows device-context type (HDC under STRICT), so the portable core
// needs no Windows header.
struct HDC__;
using RDeviceContext = HDC__*;

class RBitmap {
 public:
  virtual ~RBitmap() = default;

  // First pixel word, or null when the bitmap has no pixels.
  virtual uint32_t* Pixels() = 0;
  virtual int32_t Width() = 0;
  virtual int32_t Height() = 0;
  // Pixels per row in memory; at least the width.
  virtual int32_t RowSpan() = 0;
  // True when row 0 of the image is the last row in memory.
  virtual bool IsBottomUp() { return false; }
  // True when the size changed. Pixel contents afterwards are undefined.
  virtual bool Resize(int32_t width, int32_t height) = 0;
  virtual RDeviceContext DeviceContext() { return nullptr; }
  // Query hook for optional capabilities; 0 means not supported.
  virtual intptr_t Extension(int32_t code, intptr_t argument) {
    (void)code;
    (void)argument;
    return 0;
  }

 protected:
  RBitmap() = default;
  RBitmap(const RBitmap&) = delete;
  RBitmap& operator=(const RBitmap&) = delete;
};
