#include "platform/FileOpen.h"

#include <windows.h>

namespace {
constexpr int kWidePathChars = 2048;
}

// UTF-8 first; a path that is not valid UTF-8 (or does not open that way)
// is tried as a path in the ANSI code page.
FILE* OpenFileForReading(const char* path) {
  if (!path) return nullptr;
  wchar_t wide[kWidePathChars];
  FILE* file = nullptr;
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, kWidePathChars) > 0) {
    file = _wfopen(wide, L"rb");
  }
  if (!file) file = std::fopen(path, "rb");
  return file;
}
