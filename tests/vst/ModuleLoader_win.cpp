#include <windows.h>

#include "tests/vst/ModuleLoader.h"

namespace {

// The build passes a Unix path; under Wine every Unix path is reachable
// through drive Z:.
std::string ToWindowsPath(const std::string& path) {
  std::string result = path;
  if (!result.empty() && result[0] == '/') result = "Z:" + result;
  for (char& c : result)
    if (c == '/') c = '\\';
  return result;
}

}  // namespace

ModuleLoader::ModuleLoader(const std::string& path) {
  handle_ = reinterpret_cast<void*>(LoadLibraryA(ToWindowsPath(path).c_str()));
  if (!handle_) error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
}

ModuleLoader::~ModuleLoader() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* ModuleLoader::Symbol(const char* name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}
