#include "effect/EditorLayout.h"

#include "editor/IEditor.h"
#include "editor/IKnobArcImg.h"
#include "editor/IKnobRotVal.h"
#include "editor/ILinkControl.h"
#include "editor/ISlider.h"
#include "effect/ParameterMapping.h"
#include "framework/TextCopy.h"

namespace {

constexpr IBounds kTitlePlate{148, 15, 340, 62};

// Band knobs: low band on the left, high band on the right, all on one row.
constexpr int32_t kBandKnobY = 177;
constexpr struct {
  int32_t paramIdx, x;
} kBandKnobs[] = {{kLowDrive, 49},   {kLowGain, 109},  {kLowRound, 169},
                  {kHighDrive, 319}, {kHighGain, 379}, {kHighRound, 439}};
constexpr int32_t kTextGap = 5;
constexpr int32_t kSweepDegrees = 300;
constexpr double kGearing = 4.0;
constexpr int32_t kVerticalDrag = 0;
constexpr float kBandKnobOpacity = 0.8f;

constexpr int32_t kSplitX = 244;
constexpr int32_t kSplitY = 117;
constexpr IRgba kArcColour{160, 255, 255, 255};
constexpr float kArcRadius = 21.0f;
constexpr float kArcThickness = 3.0f;
constexpr int16_t kArcTextOffset = 2;
constexpr int16_t kArcMargin = 2;

constexpr struct {
  int32_t paramIdx;
  IBounds rect;
} kSliders[] = {{kDamping, {204, 178, 284, 212}}, {kMix, {204, 227, 284, 261}}};
constexpr int32_t kSliderLength = 66;
constexpr int32_t kHorizontal = 1;
constexpr IRgba kBarColour{80, 255, 255, 255};

// Every control writes its value in white Arial, 16 pixels, slightly
// translucent.
ITextStyle ValueTextStyle() {
  ITextStyle style;
  CopyTextBounded(style.font, sizeof style.font, "Arial");
  style.size = 16;
  style.colour = {230, 255, 255, 255};
  return style;
}

}  // namespace

void BuildEditorLayout(IEditor& editor, IEffectBase* plugin) {
  editor.SetBackground(100, "img/bg.png");
  const ITextStyle style = ValueTextStyle();
  const IBitmapStrip knob = editor.GetBitmap(101, "img/knob.png", 1);
  editor.AddControl(new ILinkControl(plugin, kTitlePlate, kPluginsPage, kMakerPage, nullptr));
  for (const auto& band : kBandKnobs) {
    editor.AddControl(new IKnobRotVal(plugin, band.paramIdx, band.x, kBandKnobY, knob, style,
                                      kTextGap, kSweepDegrees, kGearing, 0, kVerticalDrag,
                                      kBandKnobOpacity));
  }
  const IBitmapStrip splitKnob = editor.GetBitmap(102, "img/knob2.png", 2);
  editor.AddControl(new IKnobArcImg(plugin, kSplitFreq, kSplitX, kSplitY, style, kArcColour,
                                    kArcRadius, kArcThickness, kArcTextOffset, IKnobArc::TextBelow,
                                    kArcMargin, kSweepDegrees, kGearing, kVerticalDrag, splitKnob,
                                    kSweepDegrees, kArcMargin, kArcRadius, kArcThickness, 1.0f));
  for (const auto& slider : kSliders) {
    editor.AddControl(new ISlider(plugin, slider.paramIdx, slider.rect,
                                  editor.GetBitmap(103, "img/slider.png", 1), style, kSliderLength,
                                  kHorizontal, kBarColour));
  }
}
