#include "raster/RGdiText.h"

#include <windows.h>

#include <algorithm>

namespace {

std::unique_ptr<RSysBitmap> glyphScratch;
std::unique_ptr<RSysBitmap> textScratch;

RSysBitmap& Made(std::unique_ptr<RSysBitmap>& scratch) {
  if (!scratch) scratch = std::make_unique<RSysBitmap>(0, 0);
  return *scratch;
}

}  // namespace

RSysBitmap& Raster_GlyphScratch(int32_t minSize) {
  RSysBitmap& scratch = Made(glyphScratch);
  if (scratch.Width() < minSize || scratch.Height() < minSize) {
    scratch.Resize(minSize, minSize);
    if (HDC dc = scratch.DeviceContext()) {
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, RGB(0, 0, 0));
    }
  }
  return scratch;
}

// Only grows, so text drawn after a long one reuses its section.
RSysBitmap& Raster_TextScratch(int32_t minWidth, int32_t minHeight) {
  RSysBitmap& scratch = Made(textScratch);
  if (scratch.Width() < minWidth || scratch.Height() < minHeight)
    scratch.Resize(std::max(minWidth, scratch.Width()), std::max(minHeight, scratch.Height()));
  return scratch;
}

void Raster_ReleaseGdiScratch() {
  glyphScratch.reset();
  textScratch.reset();
}
