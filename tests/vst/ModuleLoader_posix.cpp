#include <dlfcn.h>

#include "tests/vst/ModuleLoader.h"

ModuleLoader::ModuleLoader(const std::string& path) {
  // RTLD_LOCAL as hosts do, so two modules' symbols cannot interpose.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error_ = why ? why : "dlopen failed";
  }
}

ModuleLoader::~ModuleLoader() {
  if (handle_) dlclose(handle_);
}

void* ModuleLoader::Symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}
