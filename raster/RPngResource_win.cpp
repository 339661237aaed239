#include "raster/RPngResource.h"

#include "raster/RPngLoader.h"

#include <windows.h>

namespace {
constexpr DWORD kShortestPng = 8;
}

RBitmap* Raster_LoadPngResource(HINSTANCE__* module, int32_t resourceId, RBitmap* target) {
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId & 0xFFFF), "PNG");
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(module, resource);
  if (size < kShortestPng) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;
  return Raster_LoadPngMemory(data, size, target);
}
