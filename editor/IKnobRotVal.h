// A knob image turned with the value, with the value text underneath.
#pragma once

#include "editor/IKnobControl.h"
#include "editor/ITextStyle.h"

class IKnobRotVal : public IKnobControl {
 public:
  // [GUI thread] Centred on (x, y); the text line of textStyle.size pixels
  // follows textGap pixels below the image. knobSize 0 takes the size from
  // one frame of the strip.
  IKnobRotVal(IEffectBase* plugin, int32_t paramIdx, int32_t x, int32_t y, const IBitmapStrip& knob,
              const ITextStyle& textStyle, int32_t textGap, int32_t sweepDegrees, double gearing,
              int32_t knobSize, int32_t direction, float knobOpacity);

  // [GUI thread] The value text, then the image turned through the sweep
  // (a strip of two frames side by side: the first turns over the fixed
  // last one).
  bool Paint(IEditor& editor) override;

  ITextStyle textStyle;
  IBitmapStrip knob;
  int32_t centreX;
  int32_t centreY;
  int32_t textGap;
  int32_t sweepDegrees;
  float knobOpacity;
  IBlendSpec knobBlend;
};
