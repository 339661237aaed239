// A handle image moving along a track, with the value text underneath.
#pragma once

#include "editor/IControl.h"
#include "editor/ITextStyle.h"

class ISliderImg : public IControl {
 public:
  // [GUI thread] The track, length pixels long, is centred across rect
  // and starts at its top; direction 0 is vertical, anything else
  // horizontal.
  ISliderImg(IEffectBase* plugin, int32_t paramIdx, const IBounds& rect, const IBitmapStrip& handle,
             const ITextStyle& textStyle, int32_t length, int32_t direction);

  // [GUI thread] The right button opens the text entry; otherwise a press
  // or drag inside the track moves the handle there. Positions outside the
  // track are ignored.
  void MousePressed(int32_t x, int32_t y, const IMouseKeys& keys) override;
  void MouseDragged(int32_t x, int32_t y, int32_t dX, int32_t dY, const IMouseKeys& keys) override;
  // [GUI thread] The value text, then the handle.
  bool Paint(IEditor& editor) override;

  ITextStyle textStyle;
  IBounds trackRect;
  IBitmapStrip handle;
  int32_t length;
  int32_t travel;
  bool vertical;

 private:
  void MoveHandleTo(int32_t x, int32_t y);
};
