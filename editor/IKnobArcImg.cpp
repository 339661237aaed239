#include "editor/IKnobArcImg.h"

#include "editor/IEditor.h"
#include "editor/IKnobGeometry.h"
#include "platform/SaturatingConversions.h"

IKnobArcImg::IKnobArcImg(IEffectBase* owner, int32_t parameterIndex, int32_t x, int32_t y,
                         const ITextStyle& style, const IRgba& colour, float arcRadius,
                         float arcThickness, int16_t offset, int16_t mode, int16_t arcMargin,
                         int16_t sweep, double dragGearing, int32_t dragDirection,
                         const IBitmapStrip& knobStrip, int16_t imageSweep, int16_t imageMargin,
                         float imageRadius, float imageThickness, float opacity)
    : IKnobArc(owner, parameterIndex, x, y, style, colour, arcRadius, arcThickness, offset, mode,
               arcMargin, sweep, dragGearing, dragDirection),
      knob(knobStrip),
      imgSweepDegrees(imageSweep),
      imgMargin(imageMargin),
      imgRadius(imageRadius),
      imgThickness(imageThickness),
      knobOpacity(opacity),
      knobBlend{IBlendSpec::BlendAlphaCopy, 1.0f} {}

bool IKnobArcImg::Paint(IEditor& editor) {
  const int32_t k = RoundHalfAwayFromZeroF(imgRadius + imgThickness);
  const int32_t X = rect.L + imgMargin + k;
  const int32_t Y = rect.T + imgMargin + k;

  blend = {IBlendSpec::BlendOverwrite, 1.0f};
  StrokeArcBand(editor, arcColour, static_cast<float>(X) - 0.2f, static_cast<float>(Y) - 0.2f,
                imgRadius, imgThickness, ImageArcStartAngle(imgSweepDegrees),
                ImageArcEndAngle(imgSweepDegrees, value), blend);

  knobBlend = {IBlendSpec::BlendAlphaCopy, knobOpacity};
  blend = {IBlendSpec::BlendAlphaCopy, 1.0f};
  const double angle = KnobAngle(imgSweepDegrees, value);
  const float offset = KnobImageSourceOffset(value);
  const float w4 = static_cast<float>(knob.W) * 0.25f;
  const float h2 = static_cast<float>(knob.H) * 0.5f;
  editor.BlitBitmapFrame(knob,
                         {RoundHalfAwayFromZeroF(X - w4), RoundHalfAwayFromZeroF(Y - h2),
                          RoundHalfAwayFromZeroF(X + w4), RoundHalfAwayFromZeroF(Y + h2)},
                         2, &blend, false);
  if (!frameCache.bitmap) {
    frameCache = editor.CopyBitmapRegion(
        knob, {0, 0, RoundHalfAwayFromZeroF(static_cast<float>(knob.W) * 0.5f), knob.H});
  }
  editor.BlitRotated(frameCache, X, Y, angle, &knobBlend, offset, offset);

  drawArc = false;
  return IKnobArc::Paint(editor);
}
