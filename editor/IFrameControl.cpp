#include "editor/IFrameControl.h"

#include "editor/IEditor.h"

IFrameControl::IFrameControl(IEffectBase* owner, const IBounds& area, const IBitmapStrip& strip)
    : IControl(owner, area), bitmap(strip) {}

bool IFrameControl::Paint(IEditor& editor) {
  const int32_t frames = bitmap.FrameCount();
  int32_t frame = 1;
  if (frames >= 2) {
    frame = static_cast<int32_t>((frames - 1) * value + 0.5) + 1;
    frame = frame < 1 ? 1 : (frame > frames ? frames : frame);
  }
  return editor.BlitBitmapFrame(bitmap, rect, frame, &blend, vertical);
}
