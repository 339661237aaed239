#include "editor/ISliderImg.h"

#include "editor/IEditor.h"
#include "editor/IGestureMath.h"
#include "editor/IValueTextLine.h"
#include "platform/SaturatingConversions.h"

namespace {

IBounds TrackRect(const IBounds& rect, const IBitmapStrip& handle, int32_t length, bool vertical) {
  const float cx = static_cast<float>(rect.L + rect.R) * 0.5f;
  if (vertical) {
    const float half = static_cast<float>(handle.W) * 0.5f;
    return {RoundHalfAwayFromZeroF(cx - half), rect.T, RoundHalfAwayFromZeroF(cx + half),
            rect.T + length};
  }
  const int32_t half = length / 2;
  return {RoundHalfAwayFromZeroF(cx - half), rect.T, RoundHalfAwayFromZeroF(cx + half),
          rect.T + handle.H};
}

}  // namespace

ISliderImg::ISliderImg(IEffectBase* owner, int32_t parameterIndex, const IBounds& area,
                       const IBitmapStrip& handleStrip, const ITextStyle& style,
                       int32_t trackLength, int32_t direction)
    : IControl(owner, area, parameterIndex),
      textStyle(style),
      trackRect(TrackRect(area, handleStrip, trackLength, direction == 0)),
      handle(handleStrip),
      length(trackLength),
      travel(trackLength - (direction == 0 ? handleStrip.H : handleStrip.W)),
      vertical(direction == 0) {
  textOverhang = style.size / 2;
}

void ISliderImg::MoveHandleTo(int32_t x, int32_t y) {
  if (!trackRect.Contains(x, y)) return;
  value = SliderValueAt(value, x, y, trackRect, handle.W, handle.H, travel, vertical);
  MarkChanged(true);
}

void ISliderImg::MousePressed(int32_t x, int32_t y, const IMouseKeys& keys) {
  if (keys.R) {
    PromptForValue();
    return;
  }
  MoveHandleTo(x, y);
}

void ISliderImg::MouseDragged(int32_t x, int32_t y, int32_t, int32_t, const IMouseKeys&) {
  MoveHandleTo(x, y);
}

bool ISliderImg::Paint(IEditor& editor) {
  PaintValueTextLine(editor, *this, textStyle);
  IBounds at;
  if (vertical) {
    const int32_t top = RoundHalfAwayFromZero((1 - value) * travel + trackRect.T);
    at = {trackRect.L, top, trackRect.R, top + handle.H};
  } else {
    const double left = trackRect.L + value * travel;
    at = {RoundHalfAwayFromZero(left), trackRect.T, RoundHalfAwayFromZero(handle.W + left), rect.B};
  }
  return editor.BlitBitmapFrame(handle, at, 1, &blend, true);
}
