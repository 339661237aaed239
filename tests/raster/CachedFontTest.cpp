// Text through the glyph cache with a fake font system whose glyphs are
// known to the pixel (see FakeFontSystem.h): decoding, measuring, placing,
// shaping and compositing, checked against small golden pictures and
// hand-computed pixels.
#include "raster/RCachedFont.h"
#include "raster/RUtf8.h"
#include "tests/raster/FakeFontSystem.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// '.' unchanged, '#' full red, '+' anything else.
std::vector<std::string> Picture(RBitmap& bitmap, RRect area) {
  std::vector<std::string> rows;
  for (int32_t y = area.top; y < area.bottom; ++y) {
    std::string row;
    for (int32_t x = area.left; x < area.right; ++x) {
      const uint32_t p = PixelAt(bitmap, x, y);
      row += p == kBlack ? '.' : ((p >> 16) & 0xFF) == 0xFF ? '#' : '+';
    }
    rows.push_back(row);
  }
  return rows;
}

FakeGlyph Glyph(int32_t advance, int32_t origin, int32_t width, std::vector<uint8_t> coverage) {
  const int32_t height = static_cast<int32_t>(coverage.size()) / width;
  return {advance, origin, width, height, std::move(coverage)};
}

class CachedFontTest : public ::testing::Test {
 protected:
  void SetUp() override { Use(16, RFontFlag::OwnsFont); }

  void Use(int32_t height, int32_t flags) {
    font.SetFont(fakes.fonts.OpenFont(height), flags | RFontFlag::OwnsFont);
    font.SetTextColour(kWhite);
  }

  int32_t Draw(const char* text, RRect rect, uint32_t flags = 0, int32_t length = -1) {
    return font.DrawText(canvas.get(), text, length, &rect, flags);
  }

  RRect Measure(const char* text, uint32_t flags, int32_t* result = nullptr) {
    RRect rect{5, 7, 5, 7};
    const int32_t height = font.DrawText(nullptr, text, -1, &rect, flags | RText::CalcRect);
    if (result) *result = height;
    return rect;
  }

  std::vector<PixelPosition> Ink() { return ChangedPixels(*canvas, kBlack); }

  ScopedFakeFonts fakes;
  RCachedFont font;
  std::unique_ptr<RMemBitmap> canvas = FilledBitmap(40, 40, kBlack);
};

TEST(Utf8, DecodesOneCharacterAtATime) {
  const struct {
    const char* bytes;
    size_t available;
    uint16_t code;
    int32_t used;
  } cases[] = {
      {"\xC3\xA9", 2, 0x00E9, 2},
      {"\xE2\x82\xAC", 3, 0x20AC, 3},
      {"\xF0\x9F\x98\x80", 4, 32, 4},  // beyond one UTF-16 unit: a space
      {"\xC3"
       "A",
       2, 0x00C3, 1},  // broken sequence: the lead byte alone
      {"\xE2\x82x", 3, 0x00E2, 1},
      {"\xA9", 1, 0x00A9, 1},      // stray continuation
      {"\xC1\x81", 2, 0x00C1, 1},  // overlong lead
      {"\xC3\xA9", 1, 0x00C3, 1},  // the sequence runs past the text
      {"A", 1, 0x0041, 1},
  };
  for (const auto& c : cases) {
    uint16_t code = 0;
    EXPECT_EQ(Raster_DecodeUtf8(c.bytes, c.available, &code), c.used) << c.bytes;
    EXPECT_EQ(code, c.code) << c.bytes;
  }
  uint16_t code = 0;
  EXPECT_EQ(Raster_DecodeUtf8("\xE2\x82", &code), 1);  // the terminator ends a sequence
  EXPECT_EQ(code, 0xE2);
}

TEST(Utf8, FindsMultiByteSequences) {
  EXPECT_TRUE(Raster_HasUtf8Sequences("50 \xC2\xB0"));
  EXPECT_TRUE(Raster_HasUtf8Sequences("\xE2\x82\xAC 5"));
  EXPECT_TRUE(Raster_HasUtf8Sequences("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(Raster_HasUtf8Sequences("1000 Hz"));
  EXPECT_FALSE(Raster_HasUtf8Sequences("\xC3 stray"));
  EXPECT_FALSE(Raster_HasUtf8Sequences("\xC3\xA9", 1));
}

TEST_F(CachedFontTest, MeasuresLinesFeedsAndReturns) {
  // Block glyphs: 8 wide and 16 high at line height 16; the space is 4 wide.
  const struct {
    const char* text;
    uint32_t flags;
    RRect rect;
    int32_t result;
  } cases[] = {
      {"AB", 0, {5, 7, 21, 23}, 16},
      {"A\nB", RText::SingleLine, {5, 7, 25, 23}, 16},  // as "A B"
      {"A B", 0, {5, 7, 25, 23}, 16},
      {"A\nB", 0, {5, 7, 13, 39}, 32},  // second line lineHeight lower, at the left
      {"A\r\rB", 0, {5, 7, 21, 23}, 16},
      {"\x01", 0, {5, 7, 5, 7}, 0},  // renders as nothing
      {"", 0, {5, 7, 5, 7}, 0},
  };
  for (const auto& c : cases) {
    int32_t result = -1;
    const RRect rect = Measure(c.text, c.flags, &result);
    EXPECT_EQ(rect.right, c.rect.right) << c.text;
    EXPECT_EQ(rect.bottom, c.rect.bottom) << c.text;
    EXPECT_EQ(result, c.result) << c.text;
  }
}

TEST_F(CachedFontTest, MeasuringLeavesTheBitmapUntouched) {
  RRect rect{2, 3, 40, 40};
  EXPECT_EQ(font.DrawText(canvas.get(), "AB", -1, &rect, RText::CalcRect), 16);
  EXPECT_EQ(rect.right, 18);
  EXPECT_EQ(rect.bottom, 19);
  EXPECT_TRUE(Ink().empty());
}

TEST_F(CachedFontTest, DrawsCachedCoverageAtThePen) {
  // 'A' (65) starts its block at row 5, 'B' at row 6; both end at row 13.
  EXPECT_EQ(Draw("A\rB", {0, 0, 40, 40}), 16);  // the glyphs' full height
  const std::vector<std::string> golden = {
      "................",  // rows 0-4 empty
      ".+####+.........",  // row 5
      ".+####+..+####+.",  // rows 6-13
  };
  const auto picture = Picture(*canvas, {0, 0, 16, 16});
  for (int32_t y = 0; y < 16; ++y) {
    const std::string& expected = golden[y < 5 ? 0 : y == 5 ? 1 : y <= 13 ? 2 : 0];
    EXPECT_EQ(picture[y], expected) << "row " << y;
  }
  EXPECT_EQ(fakes.fonts.GlyphsRendered(), 2);  // the return is never rendered
  Draw("ABAB", {0, 20, 40, 40});
  EXPECT_EQ(fakes.fonts.GlyphsRendered(), 2);
}

TEST_F(CachedFontTest, PlacesTextInTheRectangle) {
  // "AB" is 16 x 16; its first ink pixel lies at (1, 5) from the pen.
  const struct {
    uint32_t flags;
    PixelPosition firstInk;
  } cases[] = {
      {0, {4 + 1, 2 + 5}},
      {RText::Center, {4 + (36 - 16) / 2 + 1, 2 + 5}},
      {RText::Right, {40 - 16 + 1, 2 + 5}},
      {RText::VCenter, {4 + 1, 2 + (38 - 16) / 2 + 5}},
      {RText::Bottom, {4 + 1, 40 - 16 + 5}},
  };
  for (const auto& c : cases) {
    canvas = FilledBitmap(40, 40, kBlack);
    Draw("AB", {4, 2, 40, 40}, c.flags);
    ASSERT_FALSE(Ink().empty()) << c.flags;
    EXPECT_EQ(Ink().front(), c.firstInk) << c.flags;
  }
}

TEST_F(CachedFontTest, ClipsToTheRectangleOrTheBitmap) {
  const struct {
    RRect rect;
    uint32_t flags;
    int32_t right, bottom;  // one past the last ink pixel
  } cases[] = {
      {{0, 0, 10, 10}, 0, 10, 10},
      {{0, 0, 10, 10}, RText::NoClip, 15, 14},
      {{30, 30, 60, 60}, 0, 40, 40},  // the bitmap ends first
      {{-4, -9, 40, 40}, 0, 11, 5},
  };
  for (const auto& c : cases) {
    canvas = FilledBitmap(40, 40, kBlack);
    Draw("AB", c.rect, c.flags);
    int32_t right = 0, bottom = 0;
    for (const PixelPosition& p : Ink()) {
      right = std::max(right, p.x + 1);
      bottom = std::max(bottom, p.y + 1);
    }
    EXPECT_EQ(right, c.right) << c.rect.left << "," << c.rect.top << " " << c.flags;
    EXPECT_EQ(bottom, c.bottom) << c.rect.left << "," << c.rect.top << " " << c.flags;
  }
}

TEST_F(CachedFontTest, InkLeftOfTheAdvanceBoxDrawsBeforeThePen) {
  // Pen at column 2 of the box; ink in columns 0 and 3.
  fakes.fonts.Define('j', Glyph(4, 2, 6, {255, 0, 0, 255, 0, 0}));
  Draw("j", {10, 0, 40, 40}, RText::NoClip);
  const RGlyph* glyph = font.FindGlyph('j');
  ASSERT_NE(glyph, nullptr);
  EXPECT_EQ(glyph->bearing, 2);
  EXPECT_EQ(glyph->width, 6);
  EXPECT_EQ(Ink(), (std::vector<PixelPosition>{{8, 0}, {11, 0}}));
}

TEST_F(CachedFontTest, ShapesCoverageOnceWhenCached) {
  // 3 x 2, pen at column 0, advance 3: nothing to trim.
  const std::vector<uint8_t> upright = {255, 0, 0, 255, 255, 0};
  const std::vector<uint8_t> dot = {0, 0, 0, 0, 255, 0, 0, 0, 0};  // 3 x 3
  const struct {
    int32_t flags;
    bool useDot;
    int32_t width, height;
    std::vector<uint8_t> coverage;
  } cases[] = {
      {0, false, 3, 2, upright},
      {RFontFlag::CounterClockwise, false, 3, 2, upright},  // no turn without QuarterTurn
      {RFontFlag::QuarterTurn, false, 2, 3, {255, 255, 255, 0, 0, 0}},
      {RFontFlag::QuarterTurn | RFontFlag::CounterClockwise, false, 2, 3, {0, 0, 0, 255, 255, 255}},
      {RFontFlag::Invert, false, 3, 2, {0, 255, 255, 0, 0, 255}},
      {RFontFlag::Soften, true, 3, 3, {0, 63, 0, 63, 127, 63, 0, 63, 0}},
  };
  for (const auto& c : cases) {
    fakes.fonts.Define('q', c.useDot ? Glyph(3, 0, 3, dot) : Glyph(3, 0, 3, upright));
    Use(16, c.flags);
    ASSERT_TRUE(font.RenderGlyph('q')) << c.flags;
    const RGlyph* glyph = font.FindGlyph('q');
    ASSERT_EQ(glyph->width, c.width) << c.flags;
    ASSERT_EQ(glyph->height, c.height) << c.flags;
    const uint8_t* coverage = font.GlyphCoverage(*glyph);
    EXPECT_EQ(std::vector<uint8_t>(coverage, coverage + c.coverage.size()), c.coverage) << c.flags;
  }
}

TEST_F(CachedFontTest, TurnedTextRunsDownOrUp) {
  fakes.fonts.Define('q', Glyph(3, 0, 3, {255, 0, 0, 255, 255, 0}));
  const struct {
    int32_t flags;
    std::vector<std::string> golden;
  } cases[] = {
      {RFontFlag::QuarterTurn, {"##", "#.", "..", "##", "#.", ".."}},
      {RFontFlag::QuarterTurn | RFontFlag::CounterClockwise, {"..", ".#", "##", "..", ".#", "##"}},
  };
  for (const auto& c : cases) {
    canvas = FilledBitmap(40, 40, kBlack);
    Use(16, c.flags);
    EXPECT_EQ(Draw("qq", {0, 0, 40, 40}), 2) << c.flags;
    EXPECT_EQ(Picture(*canvas, {0, 0, 2, 6}), c.golden) << c.flags;
    EXPECT_EQ(Ink().size(), 6u) << c.flags;
  }
}

TEST_F(CachedFontTest, MonochromeShadowAndOutline) {
  // One pixel above the threshold of 130 and one below it, in a 5 x 5 box.
  std::vector<uint8_t> coverage(25, 0);
  coverage[2 * 5 + 2] = 200;
  coverage[0] = 130;
  fakes.fonts.Define('o', Glyph(5, 0, 5, coverage));
  const struct {
    int32_t flags;
    std::vector<std::string> golden;
  } cases[] = {
      {RFontFlag::Monochrome, {".....", ".....", "..#..", ".....", "....."}},
      {RFontFlag::Shadow, {".....", ".....", "..#+.", "..++.", "....."}},
      {RFontFlag::Outline, {".....", "..+..", ".+#+.", "..+..", "....."}},
      {RFontFlag::Shadow | RFontFlag::Outline, {".....", ".....", "..#+.", "..++.", "....."}},
  };
  for (const auto& c : cases) {
    Use(16, c.flags);
    font.RenderGlyph('o');
    const RGlyph* glyph = font.FindGlyph('o');
    const uint8_t* cov = font.GlyphCoverage(*glyph);
    std::vector<std::string> picture;
    for (int32_t y = 0; y < glyph->height; ++y) {
      std::string row;
      for (int32_t x = 0; x < glyph->width; ++x) {
        const uint8_t v = cov[y * glyph->width + x];
        row += v == 255 ? '#' : v == 128 ? '+' : v == 0 ? '.' : '?';
      }
      picture.push_back(row);
    }
    EXPECT_EQ(picture, c.golden) << c.flags;
  }
  // Shadow pixels take the outline colour.
  font.SetOutlineColour(0x80123456);
  font.SetTextColour(0x40ABCDEF);
  EXPECT_TRUE(font.DrawGlyph(canvas.get(), 'o', 10, 10, {0, 0, 40, 40}));
  EXPECT_EQ(PixelAt(*canvas, 12, 12), 0x40ABCDEFu);
  EXPECT_EQ(PixelAt(*canvas, 13, 12), 0x80123456u);
  EXPECT_EQ(PixelAt(*canvas, 11, 12), kBlack);
}

TEST_F(CachedFontTest, CompositesCoverageWithTheTextColour) {
  const struct {
    int32_t fontFlags;
    uint8_t coverage;
    float opacity;
    RBlendMode mode;
    uint32_t dst, text, expected;
  } cases[] = {
      // w 256: k = c + 1 = 129, keep 127: 255 + (0 - 255) x 127 / 256 = 129;
      // the text alpha counts as 255, so alpha stays 255.
      {0, 128, 1.0f, RBlend::Copy, kBlack, 0x80FFFFFF, 0xFF818181},
      // w 128: k = 128 x 128 / 256 = 64, keep 192: 255 - 48960 / 256 = 64.
      {0, 128, 0.5f, RBlend::Copy, kBlack, 0x80FFFFFF, 0xFF404040},
      // Full coverage replaces; RBlendUseAlpha changes nothing.
      {0, 255, 1.0f, RBlend::Copy | RBlendUseAlpha, 0x00112233, 0x00A0B0C0, 0xFFA0B0C0},
      // Add at k 256: 0x10 + 0x20, 0x20 + 0x40, 0x30 + 0x60; alpha saturates.
      {0, 255, 1.0f, RBlend::Add, 0xFF102030, 0x00204060, 0xFF306090},
      // Monochrome at opacity 1 with Copy writes the colour word as it is.
      {RFontFlag::Monochrome, 200, 1.0f, RBlend::Copy, kBlack, 0x80FFFFFF, 0x80FFFFFF},
      // Monochrome at w 128: alpha 255 + (16 - 255) x 128 / 256 = 136,
      // red 255 + (0 - 255) x 128 / 256 = 128.
      {RFontFlag::Monochrome, 200, 0.5f, RBlend::Copy, 0x10000000, 0x00FFFFFF, 0x88808080},
      {RFontFlag::Monochrome, 100, 1.0f, RBlend::Copy, kBlack, kWhite, kBlack},
      {0, 255, 0.0f, RBlend::Copy, kBlack, kWhite, kBlack},  // zero weight
  };
  for (const auto& c : cases) {
    fakes.fonts.Define('c', Glyph(1, 0, 1, {c.coverage}));
    Use(16, c.fontFlags);
    font.SetTextColour(c.text);
    font.SetBlend(c.mode, c.opacity);
    canvas = FilledBitmap(2, 2, c.dst);
    font.DrawGlyph(canvas.get(), 'c', 1, 1, {0, 0, 2, 2});
    EXPECT_EQ(PixelAt(*canvas, 1, 1), c.expected) << c.fontFlags << " " << c.opacity;
    EXPECT_EQ(PixelAt(*canvas, 0, 0), c.dst);
  }
}

TEST_F(CachedFontTest, OpaqueBackgroundAndOpacityFromTheTextAlpha) {
  fakes.fonts.Define('c', Glyph(2, 0, 2, {0, 255}));
  font.SetFont(fakes.fonts.OpenFont(16), RFontFlag::OwnsFont);
  font.SetBackgroundMode(2);
  font.SetBackgroundColour(0xFF0000FF);
  font.SetTextColour(0x80FFFFFF);
  Draw("c", {0, 0, 4, 4}, RText::OpacityFromAlpha);
  // Opacity 128 / 255 gives w 128, for the fill as for the glyph: the fill
  // halves whole words (0x7F00007F + 0x7F000000), then full coverage blends
  // at k = 128 x 255 / 256 = 127.
  EXPECT_EQ(PixelAt(*canvas, 0, 0), 0xFE00007Fu);
  EXPECT_EQ(PixelAt(*canvas, 1, 0), 0xFF7F7FBFu);
  EXPECT_EQ(PixelAt(*canvas, 2, 0), kBlack);

  canvas = FilledBitmap(4, 4, kBlack);
  font.SetTextColour(0x00FFFFFF);
  EXPECT_EQ(Draw("c", {0, 0, 4, 4}, RText::OpacityFromAlpha), 0);
  EXPECT_TRUE(Ink().empty());
}

TEST_F(CachedFontTest, AsciiOnlyFontsRenderAtOnceAndSkipOtherCodes) {
  Use(16, RFontFlag::AsciiOnly);
  EXPECT_EQ(fakes.fonts.GlyphsRendered(), 128);
  Draw(
      "A\xC3\xA9"
      "B",
      {0, 0, 40, 40});
  const auto withAccent = AllPixels(*canvas);
  canvas = FilledBitmap(40, 40, kBlack);
  Draw("AB", {0, 0, 40, 40});
  EXPECT_EQ(AllPixels(*canvas), withAccent);
  EXPECT_EQ(font.FindGlyph(0xE9), nullptr);
  EXPECT_EQ(fakes.fonts.GlyphsRendered(), 128);
}

TEST_F(CachedFontTest, KeepsTheTableOfOtherCodesSorted) {
  Draw("\xE2\x82\xAC\xC3\xA9\xC2\xB0", {0, 0, 40, 40});  // U+20AC, U+00E9, U+00B0
  for (const uint16_t code : {0x20AC, 0x00E9, 0x00B0}) {
    const RGlyph* glyph = font.FindGlyph(code);
    ASSERT_NE(glyph, nullptr) << code;
    EXPECT_EQ(glyph->code, code);
    EXPECT_GT(glyph->offset, 0);
  }
  EXPECT_EQ(font.FindGlyph(0x00E8), nullptr);
}

TEST_F(CachedFontTest, UnsafeInputDrawsNothing) {
  RRect rect{0, 0, 40, 40};
  EXPECT_EQ(font.DrawText(canvas.get(), nullptr, -1, &rect, 0), 0);
  EXPECT_EQ(font.DrawText(canvas.get(), "AB", -1, nullptr, 0), 0);
  EXPECT_EQ(font.DrawText(nullptr, "AB", -1, &rect, 0), 0);
  // A clip reaching past the bitmap is held to it.
  EXPECT_TRUE(font.DrawGlyph(canvas.get(), 'A', 36, -8, {-100, -100, 1000, 1000}));
  EXPECT_FALSE(font.DrawGlyph(canvas.get(), 'A', 40, 0, {-100, -100, 1000, 1000}));
  // A counted length ends a sequence early: only the lead byte is drawn.
  Draw("\xC3\xA9", {0, 0, 40, 40}, 0, 1);
  EXPECT_NE(font.FindGlyph(0xC3), nullptr);
  EXPECT_EQ(font.FindGlyph(0xE9), nullptr);
}

TEST_F(CachedFontTest, GlyphsTooLargeForTheCacheRenderAsNothing) {
  // (2^30 + 1) columns x 16 rows would overflow the 32-bit coverage offsets.
  fakes.fonts.Define('w', Glyph(1 << 30, 1, 1, std::vector<uint8_t>(16, 255)));
  EXPECT_TRUE(font.RenderGlyph('w'));
  EXPECT_EQ(font.FindGlyph('w')->offset, -1);
  EXPECT_EQ(Draw("w", {0, 0, 40, 40}), 0);
  EXPECT_TRUE(Ink().empty());

  // 4096 advances of 2^20 pixels: the pen passes 2^32 without wrapping.
  fakes.fonts.Define('m', Glyph(1 << 20, 0, 1, {255}));
  const std::string longText(4096, 'm');
  RRect measured{INT32_MAX - 8, 0, 0, 0};
  font.DrawText(nullptr, longText.c_str(), -1, &measured, RText::CalcRect);
  EXPECT_EQ(measured.right, INT32_MAX);
  EXPECT_EQ(Draw(longText.c_str(), {0, 0, 40, 40}), 1);
  EXPECT_EQ(Ink(), (std::vector<PixelPosition>{{0, 0}}));
  canvas = FilledBitmap(40, 40, kBlack);

  Use(1024, 0);  // taller than the glyph cache takes
  EXPECT_FALSE(font.RenderGlyph('A'));
  EXPECT_EQ(Draw("A", {0, 0, 40, 40}), 0);
  EXPECT_TRUE(Ink().empty());
}

TEST_F(CachedFontTest, WithoutAFontNothingIsDrawn) {
  EXPECT_TRUE(font.SetFont(nullptr, 0));
  EXPECT_EQ(fakes.fonts.OpenFonts(), 0);  // the owned font was closed
  EXPECT_EQ(font.GetLineHeight(), 0);
  EXPECT_EQ(Draw("AB", {0, 0, 40, 40}, RText::Center | RText::VCenter), 0);
  EXPECT_EQ(Measure("AB", 0).right, 5);
  EXPECT_TRUE(Ink().empty());
  RCachedFont fresh;
  RRect rect{0, 0, 40, 40};
  EXPECT_EQ(fresh.DrawText(canvas.get(), "AB", -1, &rect, 0), 0);
  EXPECT_TRUE(Ink().empty());
}

TEST(CachedFont, ClosesOnlyTheFontItOwns) {
  ScopedFakeFonts fakes;
  RFontHandle kept = fakes.fonts.OpenFont(16);
  {
    RCachedFont font;
    EXPECT_EQ(font.SetTextColour(0x12345678), 0u);
    EXPECT_EQ(font.SetBackgroundColour(1), 0xFFFFFFFFu);
    EXPECT_EQ(font.SetOutlineColour(2), 0xFFFFFFFFu);
    EXPECT_EQ(font.SetBackgroundMode(2), 1);
    EXPECT_TRUE(font.SetFont(kept, 0));
    EXPECT_EQ(font.GetFontHandle(), kept);
    EXPECT_EQ(font.GetLineHeight(), 16);
    EXPECT_TRUE(font.SetFont(fakes.fonts.OpenFont(12), RFontFlag::OwnsFont));
    EXPECT_EQ(fakes.fonts.OpenFonts(), 2);
  }
  EXPECT_EQ(fakes.fonts.OpenFonts(), 1);
  fakes.fonts.CloseFont(kept);
}

}  // namespace
