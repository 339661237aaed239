// The X11 window's lookup of an embedded image by resource id, over the one
// table of files (IEmbeddedFiles.h); goes once the window asks that table.
#pragma once

#include "editor/IEmbeddedFiles.h"

struct IEmbeddedImage {
  const unsigned char* bytes = nullptr;
  size_t size = 0;
};

inline IEmbeddedImage FindEmbeddedImage(int32_t id) {
  const IEmbeddedFile* file = FindEmbeddedFile(id);
  return file ? IEmbeddedImage{file->data, file->size} : IEmbeddedImage{};
}
