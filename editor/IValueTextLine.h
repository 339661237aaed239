// The line of text under a knob or slider: the value text and the unit
// label, centred in the bottom textStyle.size pixels of the control. Nothing
// is drawn for an empty value text or a style of size 0.
#pragma once

#include "editor/ITextStyle.h"

class IControl;
class IEditor;

// [GUI thread, inside Paint] Leaves the style centred.
void PaintValueTextLine(IEditor& editor, const IControl& control, ITextStyle& style);
