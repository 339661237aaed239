// Value texts through the glyph cache: a 6-character text at 16 px drawn
// from cached coverage (ns per text, megapixels of coverage composited per
// second), and the first draw, which renders every glyph into the cache.
// Each runs twice: with the test font system's glyphs (blocks of known
// coverage), so the first-draw figure is the cache's own work without a
// rasteriser, and with FreeType's Arial (Liberation Sans through fontconfig,
// as on Linux), where it includes rasterising each glyph.
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

enum class Glyphs { Fake, FreeType };

RFontHandle OpenValueFont(FakeFontSystem& fakes, Glyphs glyphs) {
  if (glyphs == Glyphs::Fake) return fakes.OpenFont(kTextHeight);
  RFontRequest request;
  request.face = "Arial";
  request.height = kTextHeight;
  return Raster_PlatformFontSystem().OpenFont(request);
}

struct ValueTextScene {
  FakeFontSystem fakes;
  RCachedFont font;
  RMemBitmap target{488, 282, 4};

  // The scene's font system stays installed: SetFont takes the handle as
  // one of the installed system's.
  explicit ValueTextScene(Glyphs glyphs) {
    Raster_SetFontSystem(glyphs == Glyphs::Fake ? &fakes : nullptr);
    font.SetFont(OpenValueFont(fakes, glyphs), RFontFlag::OwnsFont | RFontFlag::PreferSystem);
    font.SetTextColour(0xE6FFFFFF);
  }
  ~ValueTextScene() { Raster_SetFontSystem(nullptr); }

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

void BM_DrawCachedValueText(benchmark::State& state, Glyphs glyphs) {
  ValueTextScene scene(glyphs);
  scene.Draw();
  for (auto _ : state) scene.Draw();
  ReportCoverage(state, scene.CoveragePixels());
}
BENCHMARK_CAPTURE(BM_DrawCachedValueText, Fake, Glyphs::Fake);
BENCHMARK_CAPTURE(BM_DrawCachedValueText, FreeType, Glyphs::FreeType);

void BM_FirstDrawValueText(benchmark::State& state, Glyphs glyphs) {
  ValueTextScene scene(glyphs);
  for (auto _ : state) {
    scene.font.SetFont(scene.font.GetFontHandle(), RFontFlag::OwnsFont | RFontFlag::PreferSystem);
    scene.Draw();
  }
  ReportCoverage(state, scene.CoveragePixels());
}
BENCHMARK_CAPTURE(BM_FirstDrawValueText, Fake, Glyphs::Fake);
BENCHMARK_CAPTURE(BM_FirstDrawValueText, FreeType, Glyphs::FreeType);

}  // namespace
