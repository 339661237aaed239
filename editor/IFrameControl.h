// Shows one frame of a bitmap strip, chosen by the value; the editor's
// background is one.
#pragma once

#include "editor/IControl.h"

class IFrameControl : public IControl {
 public:
  // [GUI thread] No parameter; frames stacked vertically.
  IFrameControl(IEffectBase* plugin, const IBounds& rect, const IBitmapStrip& bitmap);

  // [GUI thread] Frame 1 at value 0 up to the last frame at value 1.
  bool Paint(IEditor& editor) override;

  bool vertical = true;
  IBitmapStrip bitmap;
};
