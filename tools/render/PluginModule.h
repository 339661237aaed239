// A VST 2.4 module loaded from disk, and the default one.
#pragma once

#include "vst/VstInterface.h"

#include <string>

namespace render {

// A VST 2.4 module loaded with dlopen, unloaded when destroyed.
class PluginModule {
 public:
  // Throws RenderError naming the file: missing, not a loadable library, or a
  // library without a VST 2.4 entry point.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  VstPluginMainProc EntryPoint() const { return entry_; }
  const std::string& Path() const { return path_; }
  // "VST 2.4", or "VST 3" for a bundle (Vst3Adapter.h).
  const std::string& Format() const { return format_; }

 private:
  void LoadVst3Bundle();

  std::string path_;
  std::string format_ = "VST 2.4";
  void* handle_ = nullptr;
  VstPluginMainProc entry_ = nullptr;
};

}  // namespace render
