// Per-pixel operations through the fill and the blit, with expected bytes
// worked out from the formulas by hand.
#include "raster/RBlit.h"
#include "raster/RFill.h"
#include "raster/RPixelOps.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

namespace {

uint32_t Fill(uint32_t dst, uint32_t colour, float opacity, RBlendMode mode) {
  auto bitmap = FilledBitmap(1, 1, dst);
  Raster_FillRect(bitmap.get(), 0, 0, 1, 1, colour, opacity, mode);
  return PixelAt(*bitmap, 0, 0);
}

uint32_t Blend(uint32_t dst, uint32_t src, float opacity, RBlendMode mode) {
  auto d = FilledBitmap(1, 1, dst), s = FilledBitmap(1, 1, src);
  Raster_Blit(d.get(), s.get(), 0, 0, nullptr, opacity, mode);
  return PixelAt(*d, 0, 0);
}

TEST(Fill, CopyAtExactWeightsWorksOnWholeWordsAlphaIncluded) {
  // Opaque blue over opaque black. 0.5: 0x7F00007F + 0x7F000000.
  EXPECT_EQ(Fill(0xFF000000, 0xFF0000FF, 0.5f, RBlend::Copy), 0xFE00007Fu);
  // 0.25: half(dst) 0x7F000000 + quarter(c) 0x3F00003F + quarter(dst) 0x3F000000.
  EXPECT_EQ(Fill(0xFF000000, 0xFF0000FF, 0.25f, RBlend::Copy), 0xFD00003Fu);
  // 0.75: half(c) 0x7F00007F + quarter(c) 0x3F00003F + quarter(dst) 0x3F000000.
  EXPECT_EQ(Fill(0xFF000000, 0xFF0000FF, 0.75f, RBlend::Copy), 0xFD0000BEu);
  EXPECT_EQ(Fill(0x12345678, 0x00ABCDEF, 1.0f, RBlend::Copy), 0x00ABCDEFu);
}

TEST(Fill, CopyAtOtherWeightsMovesAlphaTowardTheWeight) {
  // w = trunc(0.3 x 256) = 76, keep 180; divisions truncate toward zero.
  // alpha: 76 + (16 - 76) x 180 / 256 = 76 - 42 = 34
  // red:  128 + (32 - 128) x 180 / 256 = 128 - 67 = 61
  // green: 64 + (48 - 64) x 180 / 256 = 64 - 11 = 53
  // blue:  32 + (64 - 32) x 180 / 256 = 32 + 22 = 54
  EXPECT_EQ(Fill(0x10203040, 0xFF804020, 0.3f, RBlend::Copy), 0x223D3536u);
}

TEST(Fill, UseAlphaScalesTheOpacityByTheColourAlpha) {
  // 128 x 0.003921569 x 256 = 128.5 -> w 128: the half path on whole words,
  // 0x407F0000 + 0x7F000000.
  EXPECT_EQ(Fill(0xFF000000, 0x80FF0000, 1.0f, RBlend::Copy | RBlendUseAlpha), 0xBF7F0000u);
  EXPECT_EQ(Fill(0x11223344, 0x00FF0000, 1.0f, RBlend::Copy | RBlendUseAlpha), 0x11223344u);
}

TEST(Fill, OtherOperationsTakeTheWeightAsSourceAlpha) {
  // Add at w 128: each channel x + s x 128 / 256 (red 16 + 16, green 32 + 32,
  // blue 48 + 48); alpha 16 + 128 x 128 / 256 = 80.
  EXPECT_EQ(Fill(0x10102030, 0x00204060, 0.5f, RBlend::Add), 0x50204060u);
  // HueSatValue at w 256 stores alpha (256 & 0xFF) = 0; neutral colour keeps
  // the hue: see the HueSatValue test for the colour bytes.
  EXPECT_EQ(Fill(0xFFC86432, 0xFF808080, 1.0f, RBlend::HueSatValue), 0x00C86332u);
  EXPECT_EQ(Fill(0x11223344, 0xFFFFFFFF, 1.0f, 0x77), 0x11223344u);
}

TEST(AlphaBlend, SourceAlphaZeroLeavesAndFullReplaces) {
  EXPECT_EQ(Blend(0x40ABCDEF, 0x00FFFFFF, 1.0f, RBlendUseAlpha), 0x40ABCDEFu);
  EXPECT_EQ(Blend(0x40ABCDEF, 0x00FFFFFF, 0.5f, RBlendUseAlpha), 0x40ABCDEFu);
  EXPECT_EQ(Blend(0x00ABCDEF, 0xFF102030, 1.0f, RBlendUseAlpha), 0xFF102030u);
}

TEST(AlphaBlend, PartialAlphaInterpolatesAndAddsAlpha) {
  // Full weight, sa 128: alpha min(64 + 128, 255) = 192;
  // red 200 + (100 - 200) x 127 / 256 = 200 - 49 = 151; green and blue equal.
  EXPECT_EQ(Blend(0x40646464, 0x80C8C8C8, 1.0f, RBlendUseAlpha), 0xC0979797u);
  // Half weight: k = 128 x 129 / 256 = 64; alpha 64 + 64 = 128;
  // red 200 + (100 - 200) x 192 / 256 = 200 - 75 = 125.
  EXPECT_EQ(Blend(0x40646464, 0x80C8C8C8, 0.5f, RBlendUseAlpha), 0x807D7D7Du);
}

TEST(BlendOperations, AddSaturatesAndItsAlphaFormSkipsTransparentSource) {
  EXPECT_EQ(Blend(0x00640000, 0x00C80000, 1.0f, RBlend::Add), 0x00FF0000u);
  // k = 256 x 129 / 256 = 129; red 100 + 200 x 129 / 256 = 200; alpha 0 + 128 x 129 / 256 = 64.
  EXPECT_EQ(Blend(0x00640000, 0x80C80000, 1.0f, RBlend::Add | RBlendUseAlpha), 0x40C80000u);
  EXPECT_EQ(Blend(0x00640000, 0x00C80000, 1.0f, RBlend::Add | RBlendUseAlpha), 0x00640000u);
}

TEST(BlendOperations, DodgeAtFullSourceSaturatesEveryNonZeroChannel) {
  EXPECT_EQ(Blend(0x01FF0300, 0xFFFFFFFF, 1.0f, RBlend::Dodge), 0xFFFFFF00u);
  // s 128 at full weight: t = 128, x x 256 / 128 doubles: 50 -> 100, 200 -> 255.
  EXPECT_EQ(Blend(0x0032C800, 0x80808080, 1.0f, RBlend::Dodge), 0x0064FF00u);
  // The alpha form with sa 0 still dodges at k = 1: t = 128 / 256 = 0, unchanged.
  EXPECT_EQ(Blend(0x0032C800, 0x00808080, 1.0f, RBlend::Dodge | RBlendUseAlpha), 0x0032C800u);
}

TEST(BlendOperations, MultiplyScalesByTheWeightedSource) {
  // s 128, w 256: (128 x 256) x 200 >> 16 = 100; s 0: 0.
  EXPECT_EQ(Blend(0xC8C8C8C8, 0x80800080, 1.0f, RBlend::Multiply), 0x64640064u);
  // w 128, s 0: (0 + 128 x 256) x 200 >> 16 = 100.
  EXPECT_EQ(Blend(0xC8C8C8C8, 0x00000000, 0.5f, RBlend::Multiply), 0x64646464u);
}

TEST(BlendOperations, SoftLightIsNeutralAt128AndDarkensToSquareAtZero) {
  EXPECT_EQ(Blend(0x12345678, 0x80808080, 1.0f, RBlend::SoftLight), 0x12345678u);
  EXPECT_EQ(Blend(0xFF00FF01, 0x80808080, 1.0f, RBlend::SoftLight), 0xFF00FF01u);
  // s 0: m = 0, ((32768 x 100 / 256) x 100) >> 15 = 39 (100^2 / 256 = 39.06).
  EXPECT_EQ(Blend(0x64646464, 0x00000000, 1.0f, RBlend::SoftLight), 0x27272727u);
}

// Destination red 200, green 100, blue 50: V = 200, minimum 50, base 0,
// difference 50, span 150. S = R[200] x 150 / 256 = 326 x 150 / 256 = 191;
// H = 50 x (R[150] + 1) / 1024 = 50 x 436 / 1024 = 21. A source of 128 shifts
// nothing. lo = (256 - 191) x 200 / 256 = 50; sector 0: red 200,
// green 200 x (16384 - 191 x 43) / 16384 = 99, blue 50.
TEST(BlendOperations, HueSatValueWithNeutralSourceKeepsTheColourAndTakesSourceAlpha) {
  EXPECT_EQ(Blend(0xFFC86432, 0x80808080, 1.0f, RBlend::HueSatValue), 0x80C86332u);
  // Grey stays grey: V = 90, span 0, S = 0, lo = 90.
  EXPECT_EQ(Blend(0xFF5A5A5A, 0x33808080, 1.0f, RBlend::HueSatValue), 0x335A5A5Au);
}

// Same destination; source red 255 turns the hue by 256 x (255 + 127 - 192)
// / 256 = 190 steps: H = 211 -> sector 192..255: red lo = 50,
// green 200 x (16384 + 191 x (192 - 211)) / 16384 = 200 x 12755 / 16384 = 155,
// blue 200. Source blue 0 at w 256 lowers V by 256: V' = 0 gives black.
TEST(BlendOperations, HueSatValueTurnsHueAndScalesValue) {
  EXPECT_EQ(Blend(0xFFC86432, 0xFFFF8080, 1.0f, RBlend::HueSatValue), 0xFF329BC8u);
  EXPECT_EQ(Blend(0xFFC86432, 0xFF808000, 1.0f, RBlend::HueSatValue), 0xFF000000u);
}

TEST(BlendOperations, FunctionPointerFormMatchesTheModeAndRefusesUnknownOperations) {
  EXPECT_EQ(Raster_PixelOp(RBlend::Copy), &RPixel::Copy::Apply);
  EXPECT_EQ(Raster_PixelOp(RBlend::Copy | RBlendUseAlpha), &RPixel::CopyAlpha::Apply);
  EXPECT_EQ(Raster_PixelOp(RBlend::HueSatValue | RBlendUseAlpha | RBlendBilinear),
            &RPixel::HueSatValueAlpha::Apply);
  EXPECT_EQ(Raster_PixelOp(6), nullptr);
  EXPECT_EQ(Raster_PixelOp(0xF7), nullptr);
}

// The full-weight alpha blit runs a multi-pixel loop; every alpha (0, 255
// and between) and every sign of x - s must come out as the per-pixel form.
TEST(AlphaBlend, FullWeightRowLoopMatchesThePerPixelForm) {
  constexpr int32_t kWidth = 1027;  // not a multiple of the vector width
  auto src = FilledBitmap(kWidth, 3, 0), dst = FilledBitmap(kWidth, 3, 0);
  uint32_t state = 1;
  const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
  std::vector<uint32_t> expected;
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      // Runs of fully transparent and fully opaque pixels, then mixed ones.
      uint32_t alpha = x < 64 ? 0 : (x < 128 ? 255 : (next() >> 24));
      if (y == 1) alpha = uint32_t(x) & 0xFF;
      const uint32_t s = alpha << 24 | (next() & 0xFFFFFF), d = next();
      SetPixel(*src, x, y, s);
      SetPixel(*dst, x, y, d);
      uint32_t e = d;
      RPixel::CopyAlpha::Apply(&e, RPixel::Red(s), RPixel::Green(s), RPixel::Blue(s),
                               RPixel::Alpha(s), 256);
      expected.push_back(e);
    }
  }
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, RBlend::Copy | RBlendUseAlpha);
  EXPECT_EQ(AllPixels(*dst), expected);
}

}  // namespace
