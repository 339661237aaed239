// Loads a plug-in module the way a host does (dlopen on Linux, LoadLibrary on
// Windows) and looks up its exported symbols. Only the platform file differs.
#pragma once

#include <string>

class ModuleLoader {
 public:
  explicit ModuleLoader(const std::string& path);
  ~ModuleLoader();
  ModuleLoader(const ModuleLoader&) = delete;
  ModuleLoader& operator=(const ModuleLoader&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  // The native module handle (HMODULE or dlopen handle), null when not loaded.
  void* Handle() const { return handle_; }
  // Null when the module does not export the name.
  void* Symbol(const char* name) const;
  // Why loading failed, for test messages.
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};
