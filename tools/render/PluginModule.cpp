#include "tools/render/PluginModule.h"

#include "tools/render/RenderError.h"
#include "tools/render/Vst3Adapter.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace render {
namespace {

// dlopen searches the library path for a bare name; a file name given on the
// command line means the file in the current folder.
std::string AsFilePath(const std::string& path) {
  return path.find('/') == std::string::npos ? "./" + path : path;
}

// Windows modules (.dll, .exe) start with the DOS header's "MZ".
bool IsWindowsModule(const std::string& path) {
  char magic[2] = {};
  std::FILE* f = std::fopen(path.c_str(), "rb");
  const bool mz = f && std::fread(magic, 1, 2, f) == 2 && magic[0] == 'M' && magic[1] == 'Z';
  if (f) {
    std::fclose(f);
  }
  return mz;
}

}  // namespace

PluginModule::PluginModule(const std::string& path) : path_(path) {
  if (IsVst3Bundle(path)) {
    LoadVst3Bundle();
    return;
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    throw RenderError("cannot load plug-in '" + path + "': " + std::strerror(errno));
  }
  if (!S_ISREG(st.st_mode)) {
    throw RenderError("cannot load plug-in '" + path + "': not a file");
  }
  if (IsWindowsModule(path)) {
    throw RenderError("cannot load plug-in '" + path +
                      "': it is a Windows module; render loads Linux VST 2.4 modules (.so), such "
                      "as duoMangler.so of the Linux build");
  }
  handle_ = dlopen(AsFilePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    throw RenderError("cannot load plug-in '" + path + "': not a loadable module (" +
                      (reason ? reason : "unknown reason") + ")");
  }
  void* symbol = dlsym(handle_, "VSTPluginMain");
  if (!symbol) {
    symbol = dlsym(handle_, "main");
  }
  if (!symbol) {
    dlclose(handle_);
    handle_ = nullptr;
    throw RenderError("cannot load plug-in '" + path +
                      "': not a VST 2.4 plug-in (it exports neither VSTPluginMain nor main)");
  }
  entry_ = reinterpret_cast<VstPluginMainProc>(symbol);
}

// A VST 3 bundle: its Linux binary, driven through the adapter's record.
void PluginModule::LoadVst3Bundle() {
  const std::string binary = Vst3BundleBinary(path_);
  handle_ = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    throw RenderError("cannot load plug-in '" + path_ + "': its binary " + binary +
                      " is not loadable (" + (reason ? reason : "unknown reason") + ")");
  }
  using GetFactory = void* (*)();
  auto factory = reinterpret_cast<GetFactory>(dlsym(handle_, "GetPluginFactory"));
  void* made = factory ? factory() : nullptr;
  if (!made) {
    dlclose(handle_);
    handle_ = nullptr;
    throw RenderError("cannot load plug-in '" + path_ + "': not a VST 3 bundle (no plug-in factory)");
  }
  entry_ = Vst3EntryPoint(made);
  format_ = "VST 3";
}

PluginModule::~PluginModule() {
  if (handle_) {
    dlclose(handle_);
  }
}

}  // namespace render
