// Cached fonts with FreeType glyphs: "Arial" found through fontconfig
// (Liberation Sans, metric-compatible) measures as Windows measures Arial,
// a face read from memory draws as the same face read from its file, the
// styles are compared with a golden image, and missing or unreadable faces
// give no font.
#include "raster/RCachedFont.h"
#include "raster/RFill.h"
#include "raster/RFreeTypeFontSystem.h"
#include "tests/raster/GoldenImage.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr const char* kLiberationSans =
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
constexpr const char* kValueText = "0123456789 Hz%.";
constexpr uint32_t kGround = 0xFF202428;
// As the editor draws a value: white, slightly translucent, centred.
constexpr uint32_t kValueColour = 0xE6FFFFFF;
constexpr uint32_t kValueFlags = RText::Center | RText::NoClip | RText::OpacityFromAlpha;

RFontRequest Request(int32_t height, int32_t weight = 400, bool italic = false, int32_t quality = 0,
                     const char* face = "Arial") {
  RFontRequest request;
  request.face = face;
  request.height = height;
  request.weight = weight;
  request.italic = italic;
  request.quality = quality;
  return request;
}

std::vector<uint8_t> FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A cached font over a handle of a font system, which stays installed
// while the font lives.
struct TestFont {
  explicit TestFont(const RFontRequest& request) : TestFont(Raster_PlatformFontSystem(), request) {}
  TestFont(RFontSystem& system, const RFontRequest& request)
      : TestFont(system, system.OpenFont(request)) {}
  TestFont(RFontSystem& system, RFontHandle handle) {
    Raster_SetFontSystem(&system);
    opened = font.SetFont(handle, RFontFlag::OwnsFont | RFontFlag::PreferSystem) && handle;
    font.SetTextColour(kValueColour);
  }
  ~TestFont() { Raster_SetFontSystem(nullptr); }

  int32_t Advance(char c) {
    font.RenderGlyph(static_cast<uint8_t>(c));
    return font.FindGlyph(static_cast<uint8_t>(c))->advance;
  }

  int32_t Width(const char* text) {
    RRect rect{0, 0, 0, 0};
    font.DrawText(nullptr, text, -1, &rect, RText::CalcRect | RText::SingleLine);
    return rect.right;
  }

  // The text drawn as the editor draws a value, on a dark ground.
  std::unique_ptr<RMemBitmap> Paint(const char* text, int32_t width = 150, int32_t height = 20) {
    auto bitmap = FilledBitmap(width, height, kGround);
    RRect rect{0, 0, width, height};
    font.DrawText(bitmap.get(), text, -1, &rect, kValueFlags);
    return bitmap;
  }

  bool opened = false;
  RCachedFont font;
};

TEST(FreeTypeFont, ArialMeasuresAsWindowsMeasuresIt) {
  // Arial's advance widths in font units (2048 to the em), as published.
  // Windows sizes the editor's 16-pixel Arial by its cell (1854 units above
  // the baseline, 434 below), which puts 14 pixels on the em.
  constexpr struct {
    char c;
    int32_t units;
  } kArial[] = {{'0', 1139}, {'1', 1139}, {'2', 1139}, {'3', 1139}, {'4', 1139}, {'5', 1139},
                {'6', 1139}, {'7', 1139}, {'8', 1139}, {'9', 1139}, {' ', 569},  {'H', 1479},
                {'z', 1024}, {'%', 1821}, {'.', 569},  {'k', 1024}, {'m', 1706}, {'-', 682},
                {'d', 1139}, {'W', 1933}, {'i', 455}};
  constexpr double kPixelsPerUnit = 14.0 / 2048.0;
  TestFont arial(Request(16));
  ASSERT_TRUE(arial.opened);
  EXPECT_EQ(arial.font.GetLineHeight(), 16);
  for (const auto& a : kArial) {
    EXPECT_NEAR(arial.Advance(a.c), a.units * kPixelsPerUnit, 1.0) << a.c;
  }
  // Windows' string width is the sum of its whole-pixel advances.
  int32_t windowsWidth = 0;
  for (const char* c = kValueText; *c; ++c) {
    for (const auto& a : kArial) {
      if (a.c == *c) windowsWidth += static_cast<int32_t>(std::lround(a.units * kPixelsPerUnit));
    }
  }
  EXPECT_NEAR(arial.Width("0123456789 Hz%."), windowsWidth, 1);

  // Positive heights are cell heights, negative ones em heights: the line
  // heights GDI reports for the same face (under Wine), including the cells
  // that the nearest whole em would make taller than asked (14, 33).
  constexpr struct {
    int32_t height, lineHeight;
  } kHeights[] = {{12, 12},  {13, 14},  {14, 14},  {24, 23}, {33, 32},
                  {-14, 16}, {-16, 17}, {-37, 41}, {0, 16}};
  for (const auto& h : kHeights) {
    TestFont sized(Request(h.height));
    EXPECT_EQ(sized.font.GetLineHeight(), h.lineHeight) << h.height;
  }
}

TEST(FreeTypeFont, FacesFromMemoryDrawAsFromTheirFile) {
  const std::vector<uint8_t> bytes = FileBytes(kLiberationSans);
  ASSERT_FALSE(bytes.empty()) << kLiberationSans;
  RFreeTypeFontSystem bundled;  // no locator: only registered faces
  ASSERT_TRUE(bundled.AddFace("Liberation Sans", bytes.data(), bytes.size()));

  RFreeTypeFontSystem files;
  const RFontRequest request = Request(16);
  std::vector<uint32_t> expected;
  {
    TestFont fromFile(files, files.OpenFontFile(kLiberationSans, request));
    ASSERT_TRUE(fromFile.opened);
    auto painted = fromFile.Paint(kValueText);
    EXPECT_GT(ChangedPixels(*painted, kGround).size(), 100u);
    expected = AllPixels(*painted);
  }

  // By its family, by any other family (the bundled face stands in), and
  // opened straight from the bytes.
  for (const char* family : {"liberation sans", "Arial"}) {
    TestFont font(bundled, Request(16, 400, false, 0, family));
    ASSERT_TRUE(font.opened) << family;
    EXPECT_EQ(AllPixels(*font.Paint(kValueText)), expected) << family;
  }
  TestFont fromData(bundled, bundled.OpenFontData(bytes.data(), bytes.size(), request));
  ASSERT_TRUE(fromData.opened);
  EXPECT_EQ(AllPixels(*fromData.Paint(kValueText)), expected);
}

TEST(FreeTypeFont, MissingOrUnreadableFacesGiveNoFont) {
  RFreeTypeFontSystem empty;
  const std::vector<uint8_t> garbage(4096, 0x5A);
  const std::vector<uint8_t> bytes = FileBytes(kLiberationSans);
  const RFontRequest request = Request(16);
  EXPECT_EQ(empty.OpenFont(request), nullptr);  // nothing registered, no locator
  EXPECT_EQ(empty.OpenFontFile("/nonexistent/font.ttf", request), nullptr);
  EXPECT_EQ(empty.OpenFontFile(nullptr, request), nullptr);
  EXPECT_EQ(empty.OpenFontData(garbage.data(), garbage.size(), request), nullptr);
  EXPECT_FALSE(empty.AddFace("Arial", garbage.data(), garbage.size()));
  EXPECT_EQ(empty.OpenFont(request), nullptr);
  // Sizes beyond any glyph the cache takes.
  for (int32_t height : {100000, -5000, INT32_MIN}) {
    EXPECT_EQ(empty.OpenFontData(bytes.data(), bytes.size(), Request(height)), nullptr) << height;
  }

  // A face cut short may open (FreeType reads tables on demand); its glyphs
  // then render as nothing or as far as they are there.
  {
    TestFont cut(empty, empty.OpenFontData(bytes.data(), bytes.size() / 2, request));
    cut.Paint(kValueText);
  }

  // A cached font without a font draws nothing and says so.
  RCachedFont none;
  EXPECT_TRUE(none.SetFont(nullptr, 0));
  auto bitmap = FilledBitmap(40, 20, kGround);
  RRect rect{0, 0, 40, 20};
  EXPECT_EQ(none.DrawText(bitmap.get(), "440 Hz", -1, &rect, kValueFlags), 0);
  EXPECT_TRUE(ChangedPixels(*bitmap, kGround).empty());

  // Control characters render as nothing; a face without the character
  // draws its missing-glyph box.
  TestFont arial(Request(16));
  arial.font.RenderGlyph(1);
  EXPECT_EQ(arial.font.FindGlyph(1)->offset, -1);
  EXPECT_TRUE(arial.font.RenderGlyph(0x4E00));
  EXPECT_GT(arial.font.FindGlyph(0x4E00)->advance, 0);
}

// The value text as the editor draws it at 16 pixels, then bold, italic and
// without antialiasing (the Windows quality value 3), one above the other.
TEST(FreeTypeFont, ValueTextsMatchTheirGoldenImage) {
  constexpr struct {
    int32_t weight;
    bool italic;
    int32_t quality;
  } kStyles[] = {{400, false, 0}, {700, false, 0}, {400, true, 0}, {400, false, 3}};
  constexpr int32_t kWidth = 150, kRow = 20;
  RMemBitmap strip(kWidth, kRow * 4, 4);
  int32_t top = 0;
  for (const auto& s : kStyles) {
    TestFont font(Request(16, s.weight, s.italic, s.quality));
    ASSERT_TRUE(font.opened);
    auto row = font.Paint("1000 Hz  -12.5 %");
    const RPixelView from = RPixelView::Of(row.get()), to = RPixelView::Of(&strip);
    for (int32_t y = 0; y < kRow; ++y) std::copy_n(from.Row(y), kWidth, to.Row(top + y));
    top += kRow;
  }
  ExpectMatchesGolden(strip, DM_RASTER_GOLDEN_DIR, "freetype_value_texts");
}

}  // namespace
