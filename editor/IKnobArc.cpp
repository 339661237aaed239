#include "editor/IKnobArc.h"

#include "editor/IEditor.h"
#include "editor/IKnobGeometry.h"
#include "framework/IParameter.h"
#include "platform/SaturatingConversions.h"

namespace {

IBounds ArcKnobRect(int32_t x, int32_t y, const ITextStyle& style, float radius, float thickness,
                    int32_t textOffset, int32_t textMode, int32_t margin) {
  const float e = margin + radius + thickness;
  const int32_t b =
      textMode == IKnobArc::TextBelow ? y + style.size + textOffset + margin : y + margin;
  return {RoundHalfAwayFromZeroF(x - e), RoundHalfAwayFromZeroF(y - e),
          RoundHalfAwayFromZeroF(x + e), RoundHalfAwayFromZeroF(b + radius + thickness)};
}

}  // namespace

IKnobArc::IKnobArc(IEffectBase* owner, int32_t parameterIndex, int32_t x, int32_t y,
                   const ITextStyle& style, const IRgba& colour, float arcRadius,
                   float arcThickness, int16_t offset, int16_t mode, int16_t arcMargin,
                   int16_t sweep, double dragGearing, int32_t dragDirection)
    : IKnobControl(owner,
                   ArcKnobRect(x, y, style, arcRadius, arcThickness, offset, mode, arcMargin),
                   parameterIndex, dragDirection, dragGearing),
      textStyle(style),
      arcColour(colour),
      textMode(mode),
      sweepDegrees(sweep),
      textOffset(offset),
      margin(arcMargin),
      radius(arcRadius),
      thickness(arcThickness) {
  textOverhang = style.size / 2;
}

void IKnobArc::MousePressed(int32_t, int32_t, const IMouseKeys& keys) {
  if (keys.R && !prompting && !noTextEntry) {
    PromptForValue();
    textEntryOpen = true;
    prompting = true;
  } else if (!keys.R || prompting) {
    prompting = false;
  }
  MarkChanged(true);
}

void IKnobArc::StrokeArcBand(IEditor& editor, const IRgba& colour, float cx, float cy,
                             float bandRadius, float bandThickness, double fromAngle,
                             double toAngle, const IBlendSpec& blend) {
  for (float r = bandRadius; r < bandRadius + bandThickness;
       r = static_cast<float>(static_cast<double>(r) + 0.3)) {
    editor.StrokeArc(colour, cx, cy, r, static_cast<float>(fromAngle), static_cast<float>(toAngle),
                     &blend, true);
  }
}

void IKnobArc::PaintTexts(IEditor& editor) {
  char valueText[64];
  ValueText(valueText, sizeof valueText, false);
  if (textMode >= 6 || valueText[0] == '\0' || textStyle.size <= 0) return;
  const IParameter* parameter = Parameter();
  const char* label = parameter ? parameter->Label() : "";
  char both[96];
  ValueText(both, sizeof both, true);

  textStyle.align = ITextStyle::AlignCentre;
  const int32_t size = textStyle.size;
  const int32_t h2 = size / 2;
  const float cy = static_cast<float>(rect.T + rect.B) * 0.5f;
  const IBounds centred{rect.L, RoundHalfAwayFromZeroF(cy + textOffset - h2), rect.R, rect.B};
  switch (textMode) {
    case TextCentred:
      if (prompting) return;
      editor.PaintText(textStyle, both, textRect = centred);
      return;
    case TextValueAndLabelStacked:
      if (prompting) return;
      editor.PaintText(
          textStyle, valueText,
          textRect = {rect.L, RoundHalfAwayFromZeroF(cy + 4.0f - size), rect.R, rect.B});
      editor.PaintText(
          textStyle, label,
          textRect = {rect.L, RoundHalfAwayFromZeroF(cy + textOffset), rect.R, rect.B});
      return;
    case TextLabelRight:
      if (!prompting) {
        editor.PaintText(textStyle, valueText,
                         textRect = {rect.L, RoundHalfAwayFromZeroF(cy - h2), rect.R, rect.B});
      }
      textStyle.align = ITextStyle::AlignLeft;
      editor.PaintText(textStyle, label,
                       textRect = {rect.R + textOffset, RoundHalfAwayFromZeroF(cy - h2),
                                   rect.R + textOffset + 33, rect.B});
      return;
    case TextValueCentred:
      if (prompting) return;
      editor.PaintText(textStyle, valueText, textRect = centred);
      return;
    case TextBelow:
      editor.PaintText(textStyle, both, textRect = {rect.L, rect.B - size, rect.R, rect.B});
      return;
    default:
      return;
  }
}

bool IKnobArc::Paint(IEditor& editor) {
  if (prompting && !textEntryOpen) prompting = false;
  PaintTexts(editor);
  if (!drawArc) return true;
  blend = {IBlendSpec::BlendOverwrite, 1.0f};
  const float cx = static_cast<float>(margin + rect.L) + thickness + radius;
  const float cy = static_cast<float>(margin + rect.T) + thickness + radius;
  StrokeArcBand(editor, arcColour, cx, cy, radius, thickness, ArcStartAngle(sweepDegrees),
                ArcEndAngle(sweepDegrees, value), blend);
  return true;
}
