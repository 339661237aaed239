#include "editor/ITextField.h"

#include <algorithm>
#include <cstring>

#include "editor/IEditor.h"
#include "raster/RCachedFont.h"
#include "raster/RFont.h"

namespace {

// The look of a Windows edit control: black on white, the selection white
// on the highlight blue, a grey frame.
const IRgba kInk{255, 0, 0, 0};
const IRgba kPaper{255, 255, 255, 255};
const IRgba kFrame{255, 122, 122, 122};
const IRgba kHighlight{255, 0, 120, 215};

}  // namespace

ITextField::ITextField() {
  std::strcpy(style.font, "Arial");
  style.size = 14;  // as the Windows entry's font
  style.colour = kInk;
  style.quality = 2;
}

void ITextField::Open(const IBounds& where, const char* initial) {
  area = where;
  length = 0;
  if (initial) {
    length = static_cast<int32_t>(std::min<size_t>(std::strlen(initial), kMaxLength));
    std::memcpy(text, initial, static_cast<size_t>(length));
  }
  text[length] = '\0';
  caret = length;
  allSelected = true;
  open = true;
}

void ITextField::ReplaceSelection() {
  if (!allSelected) return;
  allSelected = false;
  length = 0;
  caret = 0;
  text[0] = '\0';
}

bool ITextField::Type(char c) {
  if (c < 0x20 || c > 0x7E) return false;
  ReplaceSelection();
  if (length >= kMaxLength) return false;
  std::memmove(text + caret + 1, text + caret, static_cast<size_t>(length - caret + 1));
  text[caret++] = c;
  ++length;
  return true;
}

bool ITextField::Press(Key key) {
  if (allSelected && (key == kBackspace || key == kDelete)) {
    ReplaceSelection();
    return true;
  }
  const bool wasSelected = allSelected;
  allSelected = false;
  const int32_t before = caret;
  switch (key) {
    case kBackspace:
      if (caret == 0) return false;
      std::memmove(text + caret - 1, text + caret, static_cast<size_t>(length - caret + 1));
      --caret;
      --length;
      return true;
    case kDelete:
      if (caret == length) return false;
      std::memmove(text + caret, text + caret + 1, static_cast<size_t>(length - caret));
      --length;
      return true;
    case kLeft:
      // A selection collapses to its start, as in a Windows entry.
      caret = wasSelected ? 0 : std::max(0, caret - 1);
      break;
    case kRight:
      caret = std::min(length, caret + 1);
      break;
    case kHome:
      caret = 0;
      break;
    case kEnd:
      caret = length;
      break;
  }
  return wasSelected || caret != before;
}

int32_t ITextField::TextWidth(IEditor& editor, int32_t count) {
  RCachedFont* font = style.cachedFont ? style.cachedFont : editor.GetTextFont(style);
  if (!font || count <= 0) return 0;
  RRect box{0, 0, 0, 0};
  font->DrawText(editor.BackBuffer(), text, count, &box, RText::CalcRect | RText::SingleLine);
  return box.right - box.left;
}

void ITextField::Paint(IEditor& editor) {
  if (!open) return;
  editor.PaintRect(kFrame, area, nullptr);
  const IBounds inner{area.L + 1, area.T + 1, area.R - 1, area.B - 1};
  editor.PaintRect(kPaper, inner, nullptr);
  // The text's room, clipping it: centred while it fits, otherwise its end
  // (where the caret is while typing) stays in view.
  const RRect room{inner.L + 2, inner.T + (inner.Height() - style.size) / 2, inner.R - 2, inner.B};
  const int32_t width = TextWidth(editor, length);
  const bool fits = width <= room.right - room.left;
  const int32_t left = fits ? room.left + (room.right - room.left - width) / 2 : room.right - width;
  if (allSelected && length > 0) {
    const IBounds selection{std::max(room.left, left), inner.T + 1,
                            std::min(room.right, left + width), inner.B - 1};
    editor.PaintRect(kHighlight, selection, nullptr);
  }
  RCachedFont* font = style.cachedFont;
  if (font && length > 0) {
    font->SetTextColour((allSelected ? kPaper : kInk).Packed());
    RRect box = room;
    font->DrawText(editor.BackBuffer(), text, length, &box,
                   RText::SingleLine | (fits ? RText::Center : RText::Right));
  }
  if (!allSelected) {
    const int32_t x = std::clamp(left + TextWidth(editor, caret), inner.L, inner.R - 1);
    editor.PaintRect(kInk, IBounds{x, inner.T + 2, x + 1, inner.B - 2}, nullptr);
  }
}
