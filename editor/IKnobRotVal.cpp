#include "editor/IKnobRotVal.h"

#include "editor/IEditor.h"
#include "editor/IKnobGeometry.h"
#include "editor/IValueTextLine.h"
#include "platform/SaturatingConversions.h"

namespace {

IBounds KnobRect(int32_t x, int32_t y, const IBitmapStrip& knob, const ITextStyle& style,
                 int32_t textGap, int32_t knobSize) {
  const int32_t hw =
      knobSize != 0 ? knobSize / 2
                    : RoundHalfAwayFromZeroF(static_cast<float>(knob.W / knob.FrameCount()) * 0.5f);
  const int32_t hh = RoundHalfAwayFromZeroF(static_cast<float>(knob.H) * 0.5f);
  return {x - hw, y - hh, x + hw, y + hh + style.size + textGap};
}

}  // namespace

IKnobRotVal::IKnobRotVal(IEffectBase* owner, int32_t parameterIndex, int32_t x, int32_t y,
                         const IBitmapStrip& knobStrip, const ITextStyle& style, int32_t gap,
                         int32_t sweep, double dragGearing, int32_t knobSize, int32_t dragDirection,
                         float opacity)
    : IKnobControl(owner, KnobRect(x, y, knobStrip, style, gap, knobSize), parameterIndex,
                   dragDirection, dragGearing),
      textStyle(style),
      knob(knobStrip),
      centreX(x),
      centreY(y),
      textGap(gap),
      sweepDegrees(sweep),
      knobOpacity(opacity),
      knobBlend{IBlendSpec::BlendAlphaCopy, 1.0f} {
  textOverhang = style.size / 2;
}

bool IKnobRotVal::Paint(IEditor& editor) {
  knobBlend = {IBlendSpec::BlendAlphaCopy, knobOpacity};
  PaintValueTextLine(editor, *this, textStyle);
  const double angle = KnobAngle(sweepDegrees, value);
  const float offset = KnobSourceOffset(value);
  if (knob.frames <= 1) {
    editor.BlitRotated(knob, centreX, centreY, angle, &knobBlend, offset, offset);
    return true;
  }
  if (!frameCache.bitmap) {
    frameCache = editor.CopyBitmapRegion(
        knob, {0, 0, RoundHalfAwayFromZeroF(static_cast<float>(knob.W) * 0.5f), knob.H});
  }
  editor.BlitRotated(frameCache, centreX, centreY, angle, &knobBlend, offset, offset);
  const float h = static_cast<float>(knob.W / knob.frames) * 0.5f;
  const IBounds fixed{RoundHalfAwayFromZeroF(centreX - h), rect.T,
                      RoundHalfAwayFromZeroF(centreX + h), rect.B - textGap - textStyle.size};
  editor.BlitBitmapFrame(knob, fixed, knob.frames, &blend, false);
  return true;
}
