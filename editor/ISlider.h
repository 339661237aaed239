// A slider with a translucent bar from the start of the track to the
// handle's centre, drawn beneath the handle.
#pragma once

#include "editor/IRgba.h"
#include "editor/ISliderImg.h"

class ISlider : public ISliderImg {
 public:
  // [GUI thread] The ISliderImg arguments and the bar's colour.
  ISlider(IEffectBase* plugin, int32_t paramIdx, const IBounds& rect, const IBitmapStrip& handle,
          const ITextStyle& textStyle, int32_t length, int32_t direction, const IRgba& barColour);

  // [GUI thread] The bar, then the ISliderImg paint over it.
  bool Paint(IEditor& editor) override;

  IRgba barColour;
  IBounds barRect;
  IBitmapStrip barHandle;
  int32_t barLength;
  int32_t barTravel;
  int32_t barThickness = 2;
  int32_t barInset = 4;
  bool barVertical = false;

 private:
  void PaintBar(IEditor& editor);
};
