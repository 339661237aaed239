#include "editor/IFrameControl.h"

#include "editor/IEditor.h"
#include "platform/SaturatingConversions.h"

#include <algorithm>

IFrameControl::IFrameControl(IEffectBase* owner, const IBounds& area, const IBitmapStrip& strip)
    : IControl(owner, area), bitmap(strip) {}

bool IFrameControl::Paint(IEditor& editor) {
  const int32_t frames = bitmap.FrameCount();
  int32_t frame = 1;
  if (frames >= 2) {
    frame = std::clamp(TruncateToInt32((frames - 1) * value + 0.5), 0, frames - 1) + 1;
  }
  return editor.BlitBitmapFrame(bitmap, rect, frame, &blend, vertical);
}
