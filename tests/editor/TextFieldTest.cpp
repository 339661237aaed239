// The editor's own parameter entry (X11): editing as in a Windows entry
// field, and its paint.
#include <gtest/gtest.h>

#include <string>

#include "editor/ITextField.h"
#include "raster/RBitmap.h"
#include "tests/editor/HeadlessEditor.h"
#include "tests/raster/FakeFontSystem.h"

namespace {

// Keys as the window passes them: printable characters are typed, these
// letters stand for the editing keys.
void Apply(ITextField& field, const std::string& keys) {
  for (char k : keys) {
    switch (k) {
      case '<':
        field.Press(ITextField::kLeft);
        break;
      case '>':
        field.Press(ITextField::kRight);
        break;
      case '^':
        field.Press(ITextField::kHome);
        break;
      case '$':
        field.Press(ITextField::kEnd);
        break;
      case '#':
        field.Press(ITextField::kBackspace);
        break;
      case '~':
        field.Press(ITextField::kDelete);
        break;
      default:
        field.Type(k);
        break;
    }
  }
}

}  // namespace

TEST(TextField, EditsAsAWindowsEntryDoes) {
  const struct {
    const char* what;
    const char* initial;
    std::string keys;
    const char* text;
    int32_t caret;
  } rows[] = {
      {"typing replaces the selected value", "50", "42", "42", 2},
      {"backspace clears the selection", "50", "#", "", 0},
      {"delete clears the selection", "50", "~", "", 0},
      {"end keeps the value, typing appends", "50", "$7", "507", 3},
      {"left goes to the start", "50", "<1", "150", 1},
      {"insert in the middle", "1000", "$<<9", "10900", 3},
      {"backspace and delete at the caret", "12345", "$<<#~", "125", 2},
      {"nothing before the start or past the end", "7", "^#<$~>", "7", 1},
      {"control characters are ignored", "",
       "\t\r\x7f"
       "1",
       "1", 1},
  };
  for (const auto& row : rows) {
    ITextField field;
    field.Open(IBounds{0, 0, 40, 16}, row.initial);
    Apply(field, row.keys);
    EXPECT_STREQ(field.Text(), row.text) << row.what;
    EXPECT_EQ(field.Caret(), row.caret) << row.what;
  }
}

TEST(TextField, HoldsItsLongestTextAndNoMore) {
  ITextField field;
  field.Open(IBounds{0, 0, 40, 16}, std::string(300, '9').c_str());
  EXPECT_EQ(std::string(field.Text()).size(), size_t{ITextField::kMaxLength});
  field.Press(ITextField::kEnd);
  EXPECT_FALSE(field.Type('1'));
  EXPECT_TRUE(field.Press(ITextField::kBackspace));
  EXPECT_TRUE(field.Type('1'));
  EXPECT_EQ(field.Text()[ITextField::kMaxLength - 1], '1');
}

TEST(TextField, PaintsAFramedBoxWithTheSelectionOrTheCaret) {
  ScopedFakeFonts fonts;
  HeadlessEditor editor(nullptr, "");
  editor.CreateBackBuffer();
  RBitmap* pixels = editor.BackBuffer();
  ASSERT_NE(pixels, nullptr);
  auto at = [&](int32_t x, int32_t y) { return pixels->Pixels()[y * pixels->RowSpan() + x]; };
  // Pixels of a colour inside the frame.
  auto count = [&](uint32_t colour) {
    int32_t n = 0;
    for (int32_t y = 101; y < 115; ++y)
      for (int32_t x = 101; x < 139; ++x) n += at(x, y) == colour ? 1 : 0;
    return n;
  };
  ITextField field;
  field.Open(IBounds{100, 100, 140, 116}, "50");
  field.Paint(editor);
  EXPECT_EQ(at(100, 100), 0xFF7A7A7Au) << "frame";
  EXPECT_EQ(at(139, 115), 0xFF7A7A7Au) << "frame";
  EXPECT_EQ(at(101, 101), 0xFFFFFFFFu) << "paper";
  EXPECT_GT(count(0xFF0078D7u), 0) << "the selection's highlight";
  EXPECT_EQ(count(0xFF000000u), 0) << "no ink while all is selected";
  field.Press(ITextField::kEnd);
  field.Paint(editor);
  EXPECT_EQ(count(0xFF0078D7u), 0) << "no highlight without a selection";
  EXPECT_GT(count(0xFF000000u), 10) << "the text and the caret in ink";
}
