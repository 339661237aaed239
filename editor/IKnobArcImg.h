// An arc knob that also draws a two-frame knob image with an arc of its
// own: the right frame fixed, the left frame turning on top of it.
#pragma once

#include "editor/IKnobArc.h"

class IKnobArcImg : public IKnobArc {
 public:
  // [GUI thread] The IKnobArc arguments, then the strip (two frames side by
  // side) and the geometry of the image's own arc.
  IKnobArcImg(IEffectBase* plugin, int32_t paramIdx, int32_t x, int32_t y,
              const ITextStyle& textStyle, const IRgba& arcColour, float radius, float thickness,
              int16_t textOffset, int16_t textMode, int16_t margin, int16_t sweepDegrees,
              double gearing, int32_t direction, const IBitmapStrip& knob, int16_t imgSweepDegrees,
              int16_t imgMargin, float imgRadius, float imgThickness, float knobOpacity);

  // [GUI thread] The image's arc, the fixed frame, the turning frame, then
  // the IKnobArc texts (its own arc is not drawn).
  bool Paint(IEditor& editor) override;

  IBitmapStrip knob;
  int16_t imgSweepDegrees;
  int16_t imgMargin;
  float imgRadius;
  float imgThickness;
  float knobOpacity;
  IBlendSpec knobBlend;
};
