// Megapixels per second of our blits, fills, mask blend, rotated blits, arc
// and PNG decoding, each followed by pixman doing the nearest equivalent work
// on the same sizes (premultiplied, as pixman wants). The 256 x 256 cases use
// inputs without shortcuts: every source alpha and coverage between 1 and
// 254, opacities other than 1 and 0.5. The row units run side by side too, so
// the vector unit can be read against the scalar reference.
#include "raster/RPixelRows.h"
#include "raster/Raster.h"
#include "tests/raster/PngTestWriter.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kEditorWidth = 488, kEditorHeight = 282;
constexpr int kKnobSize = 42;
constexpr float kArcRadius = 21.0f;
constexpr float kArcSpan = 300.0f * 3.1415927f / 180.0f;

void ReportPixels(benchmark::State& state, int64_t pixelsPerIteration) {
  state.counters["MPix/s"] = benchmark::Counter(
      static_cast<double>(pixelsPerIteration) * 1e-6 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

// A knob-like image: opaque disc with a soft edge, transparent corners.
uint32_t KnobPixel(int x, int y, int size) {
  const float c = (size - 1) * 0.5f, d = std::hypot(x - c, y - c), edge = size * 0.5f - 1.0f;
  const float coverage = std::clamp(edge - d, 0.0f, 1.0f);
  const uint32_t a = static_cast<uint32_t>(coverage * 255.0f);
  const uint32_t shade = static_cast<uint32_t>(80 + (x * 3 + y * 2) % 120);
  return a << 24 | shade << 16 | (shade / 2) << 8 | (255 - shade);
}

std::unique_ptr<RMemBitmap> Knob(int size) {
  auto b = std::make_unique<RMemBitmap>(size, size, 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) b->Pixels()[y * b->RowSpan() + x] = KnobPixel(x, y, size);
  }
  return b;
}

// The editor image: a tiling of knobs, so a third of it is partly transparent.
std::unique_ptr<RMemBitmap> EditorImage() {
  auto b = std::make_unique<RMemBitmap>(kEditorWidth, kEditorHeight, 4);
  for (int y = 0; y < kEditorHeight; ++y) {
    for (int x = 0; x < kEditorWidth; ++x)
      b->Pixels()[y * b->RowSpan() + x] = KnobPixel(x % 64, y % 64, 64);
  }
  return b;
}

std::unique_ptr<RMemBitmap> Background(int w, int h) {
  auto b = std::make_unique<RMemBitmap>(w, h, 4);
  Raster_FillRect(b.get(), 0, 0, w, h, 0xFF303840, 1.0f, RBlend::Copy);
  return b;
}

// pixman wants premultiplied pixels.
std::vector<uint32_t> Premultiplied(RMemBitmap& b) {
  std::vector<uint32_t> out(static_cast<size_t>(b.RowSpan()) * b.Height());
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const uint32_t p = b.Pixels()[y * b.RowSpan() + x], a = p >> 24;
      const auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
      out[y * b.RowSpan() + x] =
          a << 24 | scale(p >> 16 & 0xFF) << 16 | scale(p >> 8 & 0xFF) << 8 | scale(p & 0xFF);
    }
  }
  return out;
}

struct PixmanImage {
  std::vector<uint32_t> bits;
  pixman_image_t* image = nullptr;
  PixmanImage(int w, int h, std::vector<uint32_t> pixels) : bits(std::move(pixels)) {
    const int stride = static_cast<int>(bits.size() / h) * 4;
    image = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, bits.data(), stride);
  }
  PixmanImage(int w, int h, uint32_t fill)
      : PixmanImage(w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, fill)) {}
  ~PixmanImage() { pixman_image_unref(image); }
};

// The editor image drawn over the background, by us and by pixman.
void EditorBlit(benchmark::State& state, RBlendMode mode) {
  auto src = EditorImage();
  auto dst = Background(kEditorWidth, kEditorHeight);
  for (auto _ : state) {
    Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, mode);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kEditorWidth * kEditorHeight);
}

void PixmanEditorComposite(benchmark::State& state, pixman_op_t op, uint32_t background) {
  auto src = EditorImage();
  PixmanImage s(kEditorWidth, kEditorHeight, Premultiplied(*src));
  PixmanImage d(kEditorWidth, kEditorHeight, background);
  for (auto _ : state) {
    pixman_image_composite32(op, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kEditorWidth,
                             kEditorHeight);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kEditorWidth * kEditorHeight);
}

void EditorFill(benchmark::State& state, float opacity) {
  auto dst = Background(kEditorWidth, kEditorHeight);
  for (auto _ : state) {
    Raster_FillRect(dst.get(), 0, 0, kEditorWidth, kEditorHeight, 0xFF102030, opacity,
                    RBlend::Copy);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kEditorWidth * kEditorHeight);
}

void BM_AlphaBlit(benchmark::State& state) { EditorBlit(state, RBlend::Copy | RBlendUseAlpha); }
void BM_Pixman_Over(benchmark::State& state) {
  PixmanEditorComposite(state, PIXMAN_OP_OVER, 0xFF303840u);
}
void BM_OpaqueCopy(benchmark::State& state) { EditorBlit(state, RBlend::Copy); }
void BM_Pixman_Src(benchmark::State& state) { PixmanEditorComposite(state, PIXMAN_OP_SRC, 0u); }
void BM_Fill(benchmark::State& state) { EditorFill(state, 1.0f); }

void BM_Pixman_SolidFill(benchmark::State& state) {
  PixmanImage d(kEditorWidth, kEditorHeight, 0u);
  const pixman_color_t colour{0x1010, 0x2020, 0x3030, 0xFFFF};
  const pixman_rectangle16_t rect{0, 0, kEditorWidth, kEditorHeight};
  for (auto _ : state) {
    pixman_image_fill_rectangles(PIXMAN_OP_SRC, d.image, &colour, 1, &rect);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kEditorWidth * kEditorHeight);
}

void BM_HalfFill(benchmark::State& state) { EditorFill(state, 0.3f); }

void BM_RotatedKnobBilinear(benchmark::State& state) {
  auto knob = Knob(kKnobSize);
  auto dst = Background(kKnobSize, kKnobSize);
  float angle = 0.0f;
  for (auto _ : state) {
    Raster_BlitTransformed(dst.get(), knob.get(), 0, 0, kKnobSize, kKnobSize, 0, 0, kKnobSize,
                           kKnobSize, angle, false, 1.0f,
                           RBlend::Copy | RBlendUseAlpha | RBlendBilinear, 0, 0);
    angle += 0.01f;
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kKnobSize * kKnobSize);
}

void BM_Pixman_RotatedKnobBilinear(benchmark::State& state) {
  auto knob = Knob(kKnobSize);
  PixmanImage s(kKnobSize, kKnobSize, Premultiplied(*knob));
  PixmanImage d(kKnobSize, kKnobSize, 0xFF303840u);
  pixman_image_set_filter(s.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  double angle = 0.0;
  for (auto _ : state) {
    // Rotation about the knob's centre, destination to source.
    pixman_transform_t t;
    const pixman_fixed_t half = pixman_double_to_fixed(kKnobSize / 2.0);
    pixman_transform_init_translate(&t, -half, -half);
    pixman_transform_rotate(nullptr, &t, pixman_double_to_fixed(std::cos(angle)),
                            pixman_double_to_fixed(std::sin(angle)));
    pixman_transform_translate(nullptr, &t, half, half);
    pixman_image_set_transform(s.image, &t);
    pixman_image_composite32(PIXMAN_OP_OVER, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kKnobSize,
                             kKnobSize);
    angle += 0.01;
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kKnobSize * kKnobSize);
}

// Pixels counted for the arcs: the circle's bounding square.
constexpr int kArcBox = 2 * static_cast<int>(kArcRadius) + 3;

void BM_AntialiasedArc(benchmark::State& state) {
  auto dst = Background(kArcBox, kArcBox);
  const float c = kArcBox / 2.0f;
  for (auto _ : state) {
    Raster_DrawArc(dst.get(), c, c, kArcRadius, -kArcSpan / 2, kArcSpan / 2, 0xFFE0A020, 1.0f,
                   RBlend::Copy, true);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArcBox * kArcBox);
}

// The same arc as a one-pixel-wide ring sector of triangles.
void BM_Pixman_AntialiasedArc(benchmark::State& state) {
  PixmanImage d(kArcBox, kArcBox, 0xFF303840u);
  const pixman_color_t colour{0xE0E0, 0xA0A0, 0x2020, 0xFFFF};
  pixman_image_t* solid = pixman_image_create_solid_fill(&colour);
  const double c = kArcBox / 2.0, inner = kArcRadius - 0.5, outer = kArcRadius + 0.5;
  constexpr int kSegments = 48;
  std::vector<pixman_triangle_t> triangles;
  for (int i = 0; i < kSegments; ++i) {
    const double a0 = -kArcSpan / 2 + kArcSpan * i / kSegments,
                 a1 = -kArcSpan / 2 + kArcSpan * (i + 1) / kSegments;
    const auto at = [&](double r, double a) {
      return pixman_point_fixed_t{pixman_double_to_fixed(c + r * std::sin(a)),
                                  pixman_double_to_fixed(c - r * std::cos(a))};
    };
    triangles.push_back({at(inner, a0), at(outer, a0), at(outer, a1)});
    triangles.push_back({at(inner, a0), at(outer, a1), at(inner, a1)});
  }
  for (auto _ : state) {
    pixman_composite_triangles(PIXMAN_OP_OVER, solid, d.image, PIXMAN_a8, 0, 0, 0, 0,
                               static_cast<int>(triangles.size()), triangles.data());
    benchmark::ClobberMemory();
  }
  pixman_image_unref(solid);
  ReportPixels(state, kArcBox * kArcBox);
}

constexpr int kArea = 256;

// Random colours with alpha 1..254: no pixel is transparent or opaque. With
// every alpha 0..255, one pixel in 128 is, alone among others.
std::unique_ptr<RMemBitmap> VariedAlphaImage(int size, bool everyAlpha = false) {
  auto b = std::make_unique<RMemBitmap>(size, size, 4);
  std::mt19937 random(1);
  for (int i = 0; i < size * size; ++i) {
    const uint32_t alpha = everyAlpha ? random() % 256 : 1 + random() % 254;
    b->Pixels()[(i / size) * b->RowSpan() + i % size] = alpha << 24 | (random() & 0xFFFFFF);
  }
  return b;
}

std::vector<uint8_t> VariedCoverage(int size) {
  std::vector<uint8_t> mask(static_cast<size_t>(size) * size);
  std::mt19937 random(2);
  for (uint8_t& c : mask) c = static_cast<uint8_t>(1 + random() % 254);
  return mask;
}

// The alpha blit of a varied-alpha image over the area, and pixman's OVER of
// the same image; argument 0: alpha 1..254 at opacity 1, 1: every alpha
// 0..255, 2: alpha 1..254 at opacity 0.7 (pixman: through a solid mask).
struct VariedBlit {
  explicit VariedBlit(int64_t input)
      : src(VariedAlphaImage(kArea, input == 1)), opacity(input == 2 ? 0.7f : 1.0f) {}
  std::unique_ptr<RMemBitmap> src;
  float opacity;
};

void BM_AlphaBlitVaried(benchmark::State& state) {
  const VariedBlit blit(state.range(0));
  auto dst = Background(kArea, kArea);
  for (auto _ : state) {
    Raster_Blit(dst.get(), blit.src.get(), 0, 0, nullptr, blit.opacity,
                RBlend::Copy | RBlendUseAlpha);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

void BM_Pixman_OverVaried(benchmark::State& state) {
  const VariedBlit blit(state.range(0));
  PixmanImage s(kArea, kArea, Premultiplied(*blit.src));
  PixmanImage d(kArea, kArea, 0xFF303840u);
  const auto level = static_cast<uint16_t>(blit.opacity * 65535.0f);
  const pixman_color_t grey{level, level, level, level};
  pixman_image_t* mask = blit.opacity < 1.0f ? pixman_image_create_solid_fill(&grey) : nullptr;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s.image, mask, d.image, 0, 0, 0, 0, 0, 0, kArea,
                             kArea);
    benchmark::ClobberMemory();
  }
  if (mask) pixman_image_unref(mask);
  ReportPixels(state, kArea * kArea);
}

void BM_FillOpacity03(benchmark::State& state) {
  auto dst = Background(kArea, kArea);
  for (auto _ : state) {
    Raster_FillRect(dst.get(), 0, 0, kArea, kArea, 0xFF102030, 0.3f, RBlend::Copy);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

// The same colour at alpha 0.3, premultiplied, over the area.
void BM_Pixman_FillOver03(benchmark::State& state) {
  PixmanImage d(kArea, kArea, 0xFF303840u);
  const pixman_color_t colour{0x04D0, 0x09A0, 0x0E70, 0x4CCC};
  const pixman_rectangle16_t rect{0, 0, kArea, kArea};
  for (auto _ : state) {
    pixman_image_fill_rectangles(PIXMAN_OP_OVER, d.image, &colour, 1, &rect);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

void BM_MaskBlend(benchmark::State& state) {
  const std::vector<uint8_t> mask = VariedCoverage(kArea);
  auto dst = Background(kArea, kArea);
  for (auto _ : state) {
    Raster_BlendMask(dst.get(), 0, 0, 0xFFE0A020, mask.data(), kArea, kArea, 1.0f, RBlend::Copy);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

// A solid colour over the area through an 8-bit mask.
void BM_Pixman_MaskOver(benchmark::State& state) {
  std::vector<uint8_t> coverage = VariedCoverage(kArea);
  pixman_image_t* mask = pixman_image_create_bits(
      PIXMAN_a8, kArea, kArea, reinterpret_cast<uint32_t*>(coverage.data()), kArea);
  const pixman_color_t colour{0xE0E0, 0xA0A0, 0x2020, 0xFFFF};
  pixman_image_t* solid = pixman_image_create_solid_fill(&colour);
  PixmanImage d(kArea, kArea, 0xFF303840u);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, solid, mask, d.image, 0, 0, 0, 0, 0, 0, kArea, kArea);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(solid);
  pixman_image_unref(mask);
  ReportPixels(state, kArea * kArea);
}

// A varied-alpha image rotated about its centre a little further each time.
void BM_RotatedBilinearVaried(benchmark::State& state) {
  auto src = VariedAlphaImage(kArea);
  auto dst = Background(kArea, kArea);
  float angle = 0.3f;
  for (auto _ : state) {
    Raster_BlitTransformed(dst.get(), src.get(), 0, 0, kArea, kArea, 0, 0, kArea, kArea, angle,
                           false, 1.0f, RBlend::Copy | RBlendUseAlpha | RBlendBilinear, 0, 0);
    angle += 0.01f;
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

void BM_Pixman_RotatedBilinearVaried(benchmark::State& state) {
  auto src = VariedAlphaImage(kArea);
  PixmanImage s(kArea, kArea, Premultiplied(*src));
  PixmanImage d(kArea, kArea, 0xFF303840u);
  pixman_image_set_filter(s.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  double angle = 0.3;
  for (auto _ : state) {
    pixman_transform_t t;
    const pixman_fixed_t half = pixman_double_to_fixed(kArea / 2.0);
    pixman_transform_init_translate(&t, -half, -half);
    pixman_transform_rotate(nullptr, &t, pixman_double_to_fixed(std::cos(angle)),
                            pixman_double_to_fixed(std::sin(angle)));
    pixman_transform_translate(nullptr, &t, half, half);
    pixman_image_set_transform(s.image, &t);
    pixman_image_composite32(PIXMAN_OP_OVER, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, kArea,
                             kArea);
    angle += 0.01;
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

// The row units on their own over the 256 x 256 area: the fastest unit
// against the scalar one.
const RPixelRows& Unit(bool vector) {
  return vector ? Raster_PixelRows() : Raster_ScalarPixelRows();
}

void BM_RowsAlphaBlend(benchmark::State& state) {
  const RPixelRows& unit = Unit(state.range(0) != 0);
  auto src = VariedAlphaImage(kArea);
  auto dst = Background(kArea, kArea);
  const int32_t w = static_cast<int32_t>(state.range(1));
  for (auto _ : state) {
    for (int y = 0; y < kArea; ++y)
      unit.alphaBlend(dst->Pixels() + y * kArea, src->Pixels() + y * kArea, kArea, w);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

void BM_RowsFillCopy(benchmark::State& state) {
  const RPixelRows& unit = Unit(state.range(0) != 0);
  auto dst = Background(kArea, kArea);
  for (auto _ : state) {
    for (int y = 0; y < kArea; ++y) unit.fillCopy(dst->Pixels() + y * kArea, kArea, 0xFF102030, 76);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

void BM_RowsMaskCopy(benchmark::State& state) {
  const RPixelRows& unit = Unit(state.range(0) != 0);
  const std::vector<uint8_t> mask = VariedCoverage(kArea);
  auto dst = Background(kArea, kArea);
  for (auto _ : state) {
    for (int y = 0; y < kArea; ++y)
      unit.maskCopy(dst->Pixels() + y * kArea, mask.data() + y * kArea, kArea, 0xFFE0A020, 256);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, kArea * kArea);
}

// Rows of samples along a rotated walk through the middle of the image; by
// the scalar unit (0), the fastest (1) and the SSE2 unit (2).
void BM_RowsBilinearSpan(benchmark::State& state) {
  const RPixelRows& unit =
      state.range(0) == 2 ? *Raster_Sse2PixelRows() : Unit(state.range(0) != 0);
  auto src = VariedAlphaImage(kArea);
  const RSampleSource source{src->Pixels(), kArea, kArea, kArea};
  std::vector<uint32_t> out(kArea);
  const int64_t stepX = 45000, stepY = 20000;
  for (auto _ : state) {
    for (int y = 0; y < kArea; ++y)
      unit.bilinearSpan(out.data(), source, 5 << 16, (y / 2) << 16, stepX, stepY, kArea / 2);
    benchmark::DoNotOptimize(out.data());
  }
  ReportPixels(state, kArea * kArea / 2);
}

std::vector<uint8_t> EditorPng() {
  auto image = EditorImage();
  PngTestImage png;
  png.width = kEditorWidth;
  png.height = kEditorHeight;
  png.colourType = 6;
  for (int y = 0; y < kEditorHeight; ++y) {
    for (int x = 0; x < kEditorWidth; ++x) {
      const uint32_t p = image->Pixels()[y * image->RowSpan() + x];
      png.rows.insert(png.rows.end(),
                      {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
    }
  }
  return EncodePng(png);
}

void BM_PngDecode(benchmark::State& state) {
  const std::vector<uint8_t> png = EditorPng();
  RMemBitmap target(1, 1, 4);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Raster_LoadPngMemory(png.data(), png.size(), &target));
  }
  ReportPixels(state, kEditorWidth * kEditorHeight);
}

}  // namespace

BENCHMARK(BM_AlphaBlit);
BENCHMARK(BM_Pixman_Over);
BENCHMARK(BM_OpaqueCopy);
BENCHMARK(BM_Pixman_Src);
BENCHMARK(BM_Fill);
BENCHMARK(BM_Pixman_SolidFill);
BENCHMARK(BM_HalfFill);
BENCHMARK(BM_RotatedKnobBilinear);
BENCHMARK(BM_Pixman_RotatedKnobBilinear);
BENCHMARK(BM_AntialiasedArc);
BENCHMARK(BM_Pixman_AntialiasedArc);
BENCHMARK(BM_PngDecode);
BENCHMARK(BM_AlphaBlitVaried)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_Pixman_OverVaried)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_FillOpacity03);
BENCHMARK(BM_Pixman_FillOver03);
BENCHMARK(BM_MaskBlend);
BENCHMARK(BM_Pixman_MaskOver);
BENCHMARK(BM_RotatedBilinearVaried);
BENCHMARK(BM_Pixman_RotatedBilinearVaried);
// Arguments: unit (0 scalar, 1 vector), weight.
BENCHMARK(BM_RowsAlphaBlend)->ArgsProduct({{0, 1}, {256, 179}});
BENCHMARK(BM_RowsFillCopy)->Arg(0)->Arg(1);
BENCHMARK(BM_RowsMaskCopy)->Arg(0)->Arg(1);
BENCHMARK(BM_RowsBilinearSpan)->Arg(0)->Arg(1)->Arg(2);
