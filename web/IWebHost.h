// What the browser binding needs from the page that hosts the plug-in:
// where the editor's edits go. Declared here, implemented by the page's
// module, so every include points down.
#pragma once

#include <cstdint>

class IWebHost {
 public:
  virtual ~IWebHost() = default;

  // A parameter now has this value (in its own units, already stepped) by
  // an edit on the panel; the page hands it on to the audio thread's
  // instance. [gui] plug-in lock held.
  virtual void ParameterEdited(int32_t index, double value) = 0;
};
