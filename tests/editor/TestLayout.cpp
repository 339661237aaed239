#include "tests/editor/TestLayout.h"

#include "editor/IEditor.h"
#include "editor/IKnobArcImg.h"
#include "editor/IKnobRotVal.h"
#include "editor/ILinkControl.h"
#include "editor/ISlider.h"
#include "framework/TextCopy.h"

ITextStyle TestLayout::TextStyle() {
  ITextStyle style;
  CopyTextBounded(style.font, sizeof style.font, "Arial");
  style.size = 16;
  style.colour = {230, 255, 255, 255};
  return style;
}

void TestLayout::Build(IEditor& editor, IEffectBase* plugin) {
  editor.SetBackground(100, "img/bg.png");
  const ITextStyle style = TextStyle();
  const IBitmapStrip knob = editor.GetBitmap(101, "img/knob.png", 1);
  editor.AddControl(new ILinkControl(plugin, {148, 15, 340, 62}, "https://example.com/plugins",
                                     "https://example.com", nullptr));
  const int32_t knobX[] = {49, 109, 169, 319, 379, 439};
  for (int32_t i = 0; i < 6; ++i) {
    editor.AddControl(
        new IKnobRotVal(plugin, 2 + i, knobX[i], 177, knob, style, 5, 300, 4.0, 0, 0, 0.8f));
  }
  const IBitmapStrip knob2 = editor.GetBitmap(102, "img/knob2.png", 2);
  editor.AddControl(new IKnobArcImg(plugin, 0, 244, 117, style, {160, 255, 255, 255}, 21.0f, 3.0f,
                                    2, IKnobArc::TextBelow, 2, 300, 4.0, 0, knob2, 300, 2, 21.0f,
                                    3.0f, 1.0f));
  const IRgba bar{80, 255, 255, 255};
  editor.AddControl(new ISlider(plugin, 1, {204, 178, 284, 212},
                                editor.GetBitmap(103, "img/slider.png", 1), style, 66, 1, bar));
  editor.AddControl(new ISlider(plugin, 8, {204, 227, 284, 261},
                                editor.GetBitmap(103, "img/slider.png", 1), style, 66, 1, bar));
}
