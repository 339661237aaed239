// The one-line field in which the user types a parameter value, drawn by
// the editor itself where the window system has no entry of its own to
// offer (X11). It holds the text, the caret and whether the whole text is
// still selected, as a fresh Windows entry has it: the first character
// typed then replaces the value shown. The window turns keys into these
// calls, decides when to commit or cancel, and paints the field over the
// editor. [GUI thread]
#pragma once

#include <cstdint>

#include "editor/IBounds.h"
#include "editor/ITextStyle.h"

class IEditor;

class ITextField {
 public:
  static constexpr int32_t kMaxLength = 255;  // characters typed beyond are ignored

  enum Key : int32_t { kBackspace, kDelete, kLeft, kRight, kHome, kEnd };

  ITextField();

  // Opens over area with the text, all of it selected.
  void Open(const IBounds& area, const char* text);
  void Close() { open = false; }
  bool IsOpen() const { return open; }
  const IBounds& Area() const { return area; }
  const char* Text() const { return text; }
  int32_t Caret() const { return caret; }
  bool AllSelected() const { return allSelected; }

  // Inserts a printable ASCII character at the caret (replacing a
  // selection); anything else, or a full field, is ignored. Both return
  // whether the field changed and must be painted again.
  bool Type(char c);
  bool Press(Key key);

  // Draws the field into the editor's back buffer: a framed white box with
  // the text centred (its end shown when it is wider than the box), the
  // selection or the caret.
  void Paint(IEditor& editor);

 private:
  void ReplaceSelection();
  int32_t TextWidth(IEditor& editor, int32_t length);

  IBounds area;
  ITextStyle style;
  char text[kMaxLength + 1] = {};
  int32_t length = 0;
  int32_t caret = 0;
  bool allSelected = false;
  bool open = false;
};
