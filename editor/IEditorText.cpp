// Text for the controls, through the process-wide font cache.
#include "editor/IEditor.h"
#include "editor/IFontCache.h"
#include "raster/RCachedFont.h"

RCachedFont* IEditor::GetTextFont(ITextStyle& style) {
  style.cachedFont = IFontCache::FindOrCreate(style);
  return style.cachedFont;
}

bool IEditor::PaintText(ITextStyle& style, const char* text, const IBounds& area) {
  if (!text || text[0] == '\0') return true;
  RCachedFont* font = style.cachedFont ? style.cachedFont : GetTextFont(style);
  if (!font) return false;
  font->SetTextColour(style.colour.Packed());
  uint32_t flags = RText::NoClip;
  if (style.colour.A != 255) flags |= RText::OpacityFromAlpha;
  if (style.align == ITextStyle::AlignCentre) flags |= RText::Center;
  if (style.align == ITextStyle::AlignRight) flags |= RText::Right;
  RRect rect{area.L, area.T, area.R, area.B};
  font->DrawText(backBuffer, text, -1, &rect, flags);
  return true;
}
