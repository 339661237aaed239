// The effect's editor layout rebuilt from its table, for driving real
// controls in the headless editor: background, title link, six band knobs,
// the split-frequency knob and the two sliders, in painting order.
#pragma once

#include <cstdint>

#include "editor/ITextStyle.h"

class IEditor;
class IEffectBase;

namespace TestLayout {

enum Index : int32_t {
  Background = 0,
  TitleLink = 1,
  LowDrive = 2,  // then Low Gain, Low Round, High Drive, High Gain, High Round
  SplitFreq = 8,
  Damping = 9,
  Mix = 10,
  Count = 11,
};

// "Arial", 16 pixels, white at alpha 230.
ITextStyle TextStyle();

void Build(IEditor& editor, IEffectBase* plugin);

}  // namespace TestLayout
