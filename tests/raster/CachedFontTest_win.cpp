// Cached fonts with real GDI fonts under Wine: the GDI glyph rasteriser, the
// Wine detection choosing the glyph path, and GDI's own string drawing.
#include "raster/RCachedFont.h"
#include "raster/RFill.h"
#include "raster/RGdiText.h"
#include "raster/RSysBitmap.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr const char* kValueText = "0123456789 Hz %";

RFontHandle Arial16() {
  RFontRequest request;
  request.face = "Arial";
  request.height = 16;
  return Raster_PlatformFontSystem().OpenFont(request);
}

class GdiFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Raster_OverrideWineState(-1);
    ASSERT_TRUE(font.SetFont(Arial16(), RFontFlag::OwnsFont | RFontFlag::PreferSystem));
    font.SetTextColour(0xFFFFFFFF);
  }
  void TearDown() override { Raster_OverrideWineState(-1); }

  // Draws the value text into a fresh black bitmap and returns its pixels.
  std::vector<uint32_t> DrawValueText(RBitmap& bitmap, uint32_t flags = RText::NoClip) {
    Raster_FillRect(&bitmap, 0, 0, bitmap.Width(), bitmap.Height(), kBlack, 1.0f, RBlend::Copy);
    RRect rect{4, 4, bitmap.Width(), bitmap.Height()};
    EXPECT_GT(font.DrawText(&bitmap, kValueText, -1, &rect, flags), 0);
    return AllPixels(bitmap);
  }

  bool GlyphCached(uint16_t code) {
    const RGlyph* glyph = font.FindGlyph(code);
    return glyph && glyph->offset > 0;
  }

  RCachedFont font;
};

TEST_F(GdiFontTest, RendersEveryCharacterOfAValueText) {
  EXPECT_GE(font.GetLineHeight(), 16);
  for (const char* c = kValueText; *c; ++c) {
    ASSERT_TRUE(font.RenderGlyph(static_cast<uint8_t>(*c))) << *c;
    const RGlyph* glyph = font.FindGlyph(static_cast<uint8_t>(*c));
    ASSERT_GT(glyph->offset, 0) << *c;
    const uint8_t* coverage = font.GlyphCoverage(*glyph);
    const size_t size = static_cast<size_t>(glyph->width) * glyph->height;
    const bool inked = std::any_of(coverage, coverage + size, [](uint8_t v) { return v != 0; });
    EXPECT_EQ(inked, *c != ' ') << *c;
  }
  const auto advance = [&](char c) { return font.FindGlyph(static_cast<uint8_t>(c))->advance; };
  for (char digit = '1'; digit <= '9'; ++digit) EXPECT_EQ(advance(digit), advance('0')) << digit;
  EXPECT_LT(advance(' '), advance('0'));
  EXPECT_LT(advance('z'), advance('H'));
  EXPECT_LT(advance('0'), advance('%'));
}

TEST_F(GdiFontTest, WineKeepsTheEditorsFontsOnTheGlyphPath) {
  if (Raster_WineState() != 1) GTEST_SKIP() << "needs Wine";
  RSysBitmap bitmap(200, 30);
  const auto pixels = DrawValueText(bitmap);
  EXPECT_TRUE(GlyphCached('0'));
  EXPECT_NE(ChangedPixels(bitmap, kBlack).size(), 0u);

  // Told it is not under Wine, the same font lets GDI draw the string,
  // straight into the DIB section or through the scratch bitmap alike.
  Raster_OverrideWineState(0);
  font.SetFont(font.GetFontHandle(), RFontFlag::OwnsFont | RFontFlag::PreferSystem);
  const auto throughGdi = DrawValueText(bitmap);
  EXPECT_FALSE(GlyphCached('0'));
  const auto ink = ChangedPixels(bitmap, kBlack);
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.front().y, 4);
  RMemBitmap memory(200, 30, 4);
  EXPECT_EQ(DrawValueText(memory), throughGdi);

  // Effects and alpha still need the glyph path.
  DrawValueText(bitmap, RText::NoClip | RText::OpacityFromAlpha);
  EXPECT_TRUE(GlyphCached('0'));
}

TEST_F(GdiFontTest, ScratchRouteMatchesDrawingIntoTheDc) {
  Raster_OverrideWineState(0);
  const struct {
    RRect rect;
    uint32_t flags;
  } cases[] = {
      {{0, 0, 200, 30}, RText::Center | RText::VCenter | RText::SingleLine},
      {{0, 0, 200, 30}, RText::Right | RText::Bottom | RText::SingleLine},
      {{-20, -5, 60, 30}, 0},  // cut at the left and the top
      {{30, 2, 70, 14}, 0},    // clipped by the rectangle
  };
  for (const auto& c : cases) {
    RSysBitmap dib(200, 30);
    RMemBitmap memory(200, 30, 4);
    for (RBitmap* bitmap : {static_cast<RBitmap*>(&dib), static_cast<RBitmap*>(&memory)}) {
      Raster_FillRect(bitmap, 0, 0, 200, 30, kBlack, 1.0f, RBlend::Copy);
      RRect rect = c.rect;
      font.DrawText(bitmap, kValueText, -1, &rect, c.flags);
    }
    EXPECT_FALSE(ChangedPixels(dib, kBlack).empty()) << c.flags;
    EXPECT_EQ(AllPixels(memory), AllPixels(dib)) << c.rect.left << " " << c.flags;
  }
}

TEST_F(GdiFontTest, LongTextsMeasureWhole) {
  Raster_OverrideWineState(0);
  const auto widthOf = [&](int32_t count) {
    std::string text;
    for (int32_t i = 0; i < count; ++i) text += "\xC3\xA9";
    RRect rect{0, 0, 0, 0};
    font.DrawText(nullptr, text.c_str(), -1, &rect, RText::CalcRect | RText::SingleLine);
    return rect.right;
  };
  const int32_t one = widthOf(1);
  ASSERT_GT(one, 0);
  EXPECT_EQ(widthOf(900), 900 * one);    // converted on the stack
  EXPECT_EQ(widthOf(1000), 1000 * one);  // too long for it: on the heap
}

}  // namespace
