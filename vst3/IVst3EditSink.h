// Where the plug-in's own edits go in a VST 3 host: the edit controller
// passes them to the host's component handler. Declared here so that the
// binding below the controller can reach it.
#pragma once

#include <cstdint>

class IVst3EditSink {
 public:
  virtual void BeginEdit(int32_t index) = 0;
  virtual void PerformEdit(int32_t index, double normalized) = 0;
  virtual void EndEdit(int32_t index) = 0;

 protected:
  ~IVst3EditSink() = default;
};
