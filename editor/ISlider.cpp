#include "editor/ISlider.h"

#include "editor/IEditor.h"
#include "platform/SaturatingConversions.h"

ISlider::ISlider(IEffectBase* owner, int32_t parameterIndex, const IBounds& area,
                 const IBitmapStrip& handleStrip, const ITextStyle& style, int32_t trackLength,
                 int32_t direction, const IRgba& colour)
    : ISliderImg(owner, parameterIndex, area, handleStrip, style, trackLength, direction),
      barColour(colour),
      barHandle(handleStrip),
      barLength(trackLength),
      barTravel(trackLength - handleStrip.W) {
  const float cx = static_cast<float>(area.L + area.R) * 0.5f;
  const int32_t half = trackLength / 2;
  barRect = {RoundHalfAwayFromZeroF(cx - half), area.T, RoundHalfAwayFromZeroF(cx + half),
             area.T + handleStrip.H};
}

void ISlider::PaintBar(IEditor& editor) {
  const float t = static_cast<float>(barThickness / 2);
  if (!barVertical) {
    const double p = static_cast<float>(barTravel) * value + barHandle.W / 2;
    if (p <= barInset) return;
    const float by = static_cast<float>(barRect.T + barRect.B) * 0.5f;
    editor.PaintRect(
        barColour,
        {barRect.L + barInset, RoundHalfAwayFromZeroF(by - t),
         RoundHalfAwayFromZero(static_cast<double>(barRect.L) + p), RoundHalfAwayFromZeroF(by + t)},
        nullptr);
    return;
  }
  // The vertical bar keeps the class's own rule, under which it shows only
  // beside handles shorter than twice the inset.
  const double p = static_cast<float>(barTravel) * (1 - value) + barHandle.H / 2;
  const int32_t reach = barHandle.H - barInset + barTravel;
  if (p <= reach) return;
  const float bx = static_cast<float>(barRect.L + barRect.R) * 0.5f;
  editor.PaintRect(
      barColour,
      {RoundHalfAwayFromZeroF(bx - t), RoundHalfAwayFromZero(static_cast<double>(barRect.T) + p),
       RoundHalfAwayFromZeroF(bx + t), barRect.T + reach},
      nullptr);
}

bool ISlider::Paint(IEditor& editor) {
  PaintBar(editor);
  return ISliderImg::Paint(editor);
}
