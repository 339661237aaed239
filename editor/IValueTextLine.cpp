#include "editor/IValueTextLine.h"

#include "editor/IControl.h"
#include "editor/IEditor.h"

void PaintValueTextLine(IEditor& editor, const IControl& control, ITextStyle& style) {
  char text[80];
  control.ValueText(text, sizeof text, true);
  if (text[0] == '\0' || style.size <= 0) return;
  style.align = ITextStyle::AlignCentre;
  const IBounds& r = control.rect;
  editor.PaintText(style, text, {r.L, r.B - style.size, r.R, r.B});
}
