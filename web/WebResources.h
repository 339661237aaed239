// The page's window's lookup of a carried file by name, over the one table
// of files (editor/IEmbeddedFiles.h); goes once the window asks that table.
#pragma once

#include "editor/IEmbeddedFiles.h"

using WebResource = IEmbeddedFile;

inline const WebResource* FindWebResource(const char* nameOrPath) {
  return FindEmbeddedFile(nameOrPath);
}
