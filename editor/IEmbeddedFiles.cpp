#include "editor/IEmbeddedFiles.h"

#include <cstring>

const IEmbeddedFile* FindEmbeddedFile(int32_t id) {
  const IEmbeddedFileTable table = EmbeddedFiles();
  for (size_t i = 0; id > 0 && i < table.count; ++i) {
    if (table.files[i].id == id) return &table.files[i];
  }
  return nullptr;
}

const IEmbeddedFile* FindEmbeddedFile(const char* nameOrPath) {
  if (!nameOrPath) return nullptr;
  const char* slash = std::strrchr(nameOrPath, '/');
  const char* name = slash ? slash + 1 : nameOrPath;
  const IEmbeddedFileTable table = EmbeddedFiles();
  for (size_t i = 0; i < table.count; ++i) {
    if (std::strcmp(table.files[i].name, name) == 0) return &table.files[i];
  }
  return nullptr;
}
