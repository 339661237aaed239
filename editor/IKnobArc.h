// A knob drawn as a value arc of concentric anti-aliased arcs, with the
// value text in one of several placements.
#pragma once

#include "editor/IKnobControl.h"
#include "editor/IRgba.h"
#include "editor/ITextStyle.h"

class IKnobArc : public IKnobControl {
 public:
  // Where the texts go (see Paint).
  enum TextMode : int16_t {
    TextNone = 0,
    TextCentred = 1,
    TextValueAndLabelStacked = 2,
    TextLabelRight = 3,
    TextValueCentred = 4,
    TextBelow = 5,
  };

  // [GUI thread] The arc band (radius to radius + thickness) is centred on
  // (x, y), margin pixels inside rect; mode TextBelow adds a text line of
  // textStyle.size pixels, textOffset below the arc.
  IKnobArc(IEffectBase* plugin, int32_t paramIdx, int32_t x, int32_t y, const ITextStyle& textStyle,
           const IRgba& arcColour, float radius, float thickness, int16_t textOffset,
           int16_t textMode, int16_t margin, int16_t sweepDegrees, double gearing,
           int32_t direction);

  // [GUI thread] A left press re-sends the value; a right press opens the
  // text entry, which hides the value text until it closes.
  void MousePressed(int32_t x, int32_t y, const IMouseKeys& keys) override;
  // [GUI thread] The texts, then the arc from the start angle to the value.
  bool Paint(IEditor& editor) override;

  ITextStyle textStyle;
  IRgba arcColour;
  bool prompting = false;
  bool drawArc = true;
  int16_t textMode;
  int16_t sweepDegrees;
  int16_t textOffset;
  int16_t margin;
  float radius;
  float thickness;
  IBounds textRect;

 protected:
  // [GUI thread, inside Paint] Concentric arcs 0.3 pixels apart from radius
  // up to (not including) radius + thickness.
  static void StrokeArcBand(IEditor& editor, const IRgba& colour, float cx, float cy,
                            float bandRadius, float bandThickness, double fromAngle, double toAngle,
                            const IBlendSpec& blend);

 private:
  void PaintTexts(IEditor& editor);
};
