#include "raster/RImageLoader.h"

#include "raster/RPngLoader.h"

#include <cstring>

RImageLoader* Raster_ImageLoaders = nullptr;

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return false;
  }
  return *a == *b;
}

// The text from the last '.', '/' or '\\' to the end (the whole path if none).
const char* LastNamePart(const char* path) {
  const char* p = path + std::strlen(path) - 1;
  while (p > path && *p != '.' && *p != '/' && *p != '\\') --p;
  return p;
}

bool HasPngExtension(const char* path) {
  if (!path || !*path) return false;
  return EqualIgnoringAsciiCase(LastNamePart(path), ".png");
}

RBitmap* LoadPng(const char* path, bool checkExtension, RBitmap* target) {
  if (checkExtension && !HasPngExtension(path)) return nullptr;
  return Raster_LoadPngFile(path, target);
}

const char* DescribePng() { return "PNG files (*.PNG)"; }

struct PngRegistration {
  PngRegistration() {
    Raster_PngImageLoader.next = Raster_ImageLoaders;
    Raster_ImageLoaders = &Raster_PngImageLoader;
  }
};

}  // namespace

RImageLoader Raster_PngImageLoader = {LoadPng, DescribePng, nullptr};

namespace {
const PngRegistration registration;
}
