#include "platform/FileOpen.h"

// Paths on this platform are UTF-8 byte strings already.
FILE* OpenFileForReading(const char* path) {
  if (!path) return nullptr;
  return std::fopen(path, "rb");
}
