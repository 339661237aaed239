// Value texts through the glyph cache: a 6-character text at 16 px drawn
// from cached coverage (ns per text, megapixels of coverage composited per
// second), and the first draw, which renders every glyph into the cache.
// Glyphs come from the test font system (blocks of known coverage), so the
// first-draw figure is the cache's own work without a platform rasteriser.
#include "raster/RCachedFont.h"
#include "raster/RMemBitmap.h"
#include "tests/raster/FakeFontSystem.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr const char* kValueText = "440 Hz";
constexpr int32_t kTextHeight = 16;
// As the editor draws a value: centred, unclipped, opacity from the alpha.
constexpr uint32_t kValueFlags = RText::Center | RText::NoClip | RText::OpacityFromAlpha;

struct ValueTextScene {
  ScopedFakeFonts fakes;
  RCachedFont font;
  RMemBitmap target{488, 282, 4};

  ValueTextScene() {
    font.SetFont(fakes.fonts.OpenFont(kTextHeight), RFontFlag::OwnsFont | RFontFlag::PreferSystem);
    font.SetTextColour(0xE6FFFFFF);
  }

  void Draw() {
    RRect rect{100, 100, 160, 120};
    benchmark::DoNotOptimize(font.DrawText(&target, kValueText, -1, &rect, kValueFlags));
  }

  // Coverage pixels composited per text.
  int64_t CoveragePixels() const {
    int64_t pixels = 0;
    for (const char* c = kValueText; *c; ++c) {
      const RGlyph* glyph = font.FindGlyph(static_cast<uint8_t>(*c));
      pixels += static_cast<int64_t>(glyph->width) * glyph->height;
    }
    return pixels;
  }
};

void ReportCoverage(benchmark::State& state, int64_t pixelsPerText) {
  state.counters["MPix/s"] = benchmark::Counter(
      static_cast<double>(pixelsPerText) * 1e-6 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

void BM_DrawCachedValueText(benchmark::State& state) {
  ValueTextScene scene;
  scene.Draw();
  for (auto _ : state) scene.Draw();
  ReportCoverage(state, scene.CoveragePixels());
}
BENCHMARK(BM_DrawCachedValueText);

void BM_FirstDrawValueText(benchmark::State& state) {
  ValueTextScene scene;
  for (auto _ : state) {
    scene.font.SetFont(scene.font.GetFontHandle(), RFontFlag::OwnsFont | RFontFlag::PreferSystem);
    scene.Draw();
  }
  ReportCoverage(state, scene.CoveragePixels());
}
BENCHMARK(BM_FirstDrawValueText);

}  // namespace
