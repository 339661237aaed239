#include "raster/RImageLoader.h"
#include "raster/RMemBitmap.h"
#include "raster/RPngLoader.h"
#include "tests/raster/PngTestWriter.h"
#include "tests/raster/RasterTestBitmaps.h"

#include <png.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::unique_ptr<RBitmap> Load(const std::vector<uint8_t>& bytes, RBitmap* target = nullptr) {
  return std::unique_ptr<RBitmap>(Raster_LoadPngMemory(bytes.data(), bytes.size(), target));
}

PngTestImage Image(int width, int height, int depth, int colourType, std::vector<uint8_t> rows) {
  PngTestImage image;
  image.width = width;
  image.height = height;
  image.bitDepth = depth;
  image.colourType = colourType;
  image.rows = std::move(rows);
  return image;
}

TEST(PngLoader, GreyscaleDepthsExpandToOpaqueGrey) {
  // 1-bit: 1 0 1 1 -> white, black, white, white.
  auto grey1 = Load(EncodePng(Image(4, 1, 1, 0, {0xB0})));
  ASSERT_TRUE(grey1);
  EXPECT_EQ(PixelAt(*grey1, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(*grey1, 1, 0), 0xFF000000u);
  EXPECT_EQ(PixelAt(*grey1, 3, 0), 0xFFFFFFFFu);
  // 2-bit 01 scales to 0x55, 4-bit 1010 to 0xAA.
  auto grey2 = Load(EncodePng(Image(1, 1, 2, 0, {0x40})));
  ASSERT_TRUE(grey2);
  EXPECT_EQ(PixelAt(*grey2, 0, 0), 0xFF555555u);
  auto grey4 = Load(EncodePng(Image(1, 1, 4, 0, {0xA0})));
  ASSERT_TRUE(grey4);
  EXPECT_EQ(PixelAt(*grey4, 0, 0), 0xFFAAAAAAu);
  // 16-bit keeps the high byte.
  auto grey16 = Load(EncodePng(Image(1, 1, 16, 0, {0x9C, 0x40})));
  ASSERT_TRUE(grey16);
  EXPECT_EQ(PixelAt(*grey16, 0, 0), 0xFF9C9C9Cu);
  // Grey with alpha: grey 0x40, alpha 0x80.
  auto greyAlpha = Load(EncodePng(Image(1, 1, 8, 4, {0x40, 0x80})));
  ASSERT_TRUE(greyAlpha);
  EXPECT_EQ(PixelAt(*greyAlpha, 0, 0), 0x80404040u);
}

TEST(PngLoader, PaletteTransparencyBecomesAlpha) {
  PngTestImage image = Image(3, 1, 8, 3, {0, 1, 2});
  image.paletteRgb = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  const std::vector<uint8_t> opaque = EncodePng(image);
  image.paletteAlpha = {0, 128};  // the third entry has no tRNS value: opaque
  auto withAlpha = Load(EncodePng(image));
  ASSERT_TRUE(withAlpha);
  EXPECT_EQ(PixelAt(*withAlpha, 0, 0), 0x000A141Eu);
  EXPECT_EQ(PixelAt(*withAlpha, 1, 0), 0x8028323Cu);
  EXPECT_EQ(PixelAt(*withAlpha, 2, 0), 0xFF46505Au);
  auto noAlpha = Load(opaque);
  ASSERT_TRUE(noAlpha);
  EXPECT_EQ(PixelAt(*noAlpha, 0, 0), 0xFF0A141Eu);
}

TEST(PngLoader, ColourImagesKeepTheHighByteOfEachSample) {
  auto rgb = Load(EncodePng(Image(1, 1, 8, 2, {1, 2, 3})));
  ASSERT_TRUE(rgb);
  EXPECT_EQ(PixelAt(*rgb, 0, 0), 0xFF010203u);
  // R 0x1234, G 0xABCD, B 0x00FF, A 0x8001.
  auto rgba16 =
      Load(EncodePng(Image(1, 1, 16, 6, {0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF, 0x80, 0x01})));
  ASSERT_TRUE(rgba16);
  EXPECT_EQ(PixelAt(*rgba16, 0, 0), 0x8012AB00u);
  PngTestImage keyed = Image(2, 1, 8, 2, {1, 2, 3, 4, 5, 6});
  keyed.hasTransparentColour = true;
  keyed.transparentRed = 4, keyed.transparentGreen = 5, keyed.transparentBlue = 6;
  auto keyedBitmap = Load(EncodePng(keyed));
  ASSERT_TRUE(keyedBitmap);
  EXPECT_EQ(PixelAt(*keyedBitmap, 0, 0), 0xFF010203u);
  EXPECT_EQ(PixelAt(*keyedBitmap, 1, 0), 0x00040506u);
}

TEST(PngLoader, InterlacedImagesDecodeLikeTheirPlainTwins) {
  PngTestImage image = Image(13, 11, 8, 6, {});
  for (int i = 0; i < 13 * 11 * 4; ++i) image.rows.push_back(static_cast<uint8_t>(i * 7 + 3));
  auto plain = Load(EncodePng(image));
  image.interlaced = true;
  auto interlaced = Load(EncodePng(image));
  ASSERT_TRUE(plain && interlaced);
  EXPECT_EQ(AllPixels(*plain), AllPixels(*interlaced));
  // Pixel (1, 0) is bytes 4..7: R 31, G 38, B 45, A 52.
  EXPECT_EQ(PixelAt(*plain, 1, 0), 0x341F262Du);
}

TEST(PngLoader, EverySampleFormatLoadsAtItsSize) {
  for (const NamedPng& sample : PngSampleSet()) {
    auto bitmap = Load(sample.bytes);
    EXPECT_TRUE(bitmap) << sample.name;
  }
}

TEST(PngLoader, TargetIsResizedAndFilledThroughItsRowSpan) {
  RMemBitmap target(1, 1, 4);
  const std::vector<uint8_t> bytes =
      EncodePng(Image(5, 2, 8, 2, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5,  5,  5,  //
                                   6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10, 10}));
  EXPECT_EQ(Raster_LoadPngMemory(bytes.data(), bytes.size(), &target), &target);
  EXPECT_EQ(target.Width(), 5);
  EXPECT_EQ(target.RowSpan(), 8);
  EXPECT_EQ(PixelAt(target, 4, 0), 0xFF050505u);
  EXPECT_EQ(PixelAt(target, 0, 1), 0xFF060606u);
}

TEST(PngLoader, RejectsShortDataAndWrongSignatureBeforeDecoding) {
  const std::vector<uint8_t> good = EncodePng(Image(1, 1, 8, 0, {7}));
  EXPECT_EQ(Raster_LoadPngMemory(good.data(), 7, nullptr), nullptr);
  std::vector<uint8_t> bad = good;
  bad[1] = 'Q';
  EXPECT_EQ(Load(bad), nullptr);
  EXPECT_EQ(Raster_LoadPngMemory(nullptr, 100, nullptr), nullptr);
}

// Reads past the end deliver zeros: libpng either reports an error or sees
// zero-filled data. Either way nothing outside the buffers is touched and
// nothing leaks (the sanitizer build checks both).
TEST(PngLoader, TruncatedOrCorruptDataIsSafe) {
  PngTestImage image = Image(16, 16, 8, 6, std::vector<uint8_t>(16 * 16 * 4, 0x5A));
  const std::vector<uint8_t> whole = EncodePng(image);
  for (size_t cut = 8; cut < whole.size(); cut += 3) {
    auto bitmap = Load(std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
    if (bitmap) {
      EXPECT_EQ(bitmap->Width(), 16);
    }
  }
  for (size_t at = 8; at < whole.size(); ++at) {
    std::vector<uint8_t> flipped = whole;
    flipped[at] ^= 0x41;
    auto bitmap = Load(flipped);
    if (bitmap) {
      EXPECT_GT(bitmap->Width(), 0);
    }
  }
}

// A plug-in's host owns standard error: damage that libpng warns about or
// rejects leaves no message there.
TEST(PngLoader, DamagedDataPrintsNothing) {
  const std::vector<uint8_t> whole = EncodePng(Image(4, 4, 8, 2, std::vector<uint8_t>(48, 0x33)));
  testing::internal::CaptureStderr();
  for (size_t at = 8; at < whole.size(); ++at) {
    std::vector<uint8_t> flipped = whole;
    flipped[at] ^= 0x41;
    Load(flipped);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Signature, IHDR claiming width x height, and the IDAT chunks of the first
// row (noise, so it compresses to more than libpng's 8 KB buffer).
std::vector<uint8_t> HeaderOnlyPng(png_uint_32 width, png_uint_32 height) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row(width);
  uint32_t noise = 12345;
  for (png_byte& b : row) b = static_cast<png_byte>((noise = noise * 1103515245u + 12345u) >> 24);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t length) {
        auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        v->insert(v->end(), data, data + length);
      },
      [](png_structp) {});
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_row(png, row.data());
  png_write_flush(png);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST(PngLoader, HugeDimensionsFailWithoutAllocatingAWrappedBlock) {
  const std::vector<uint8_t> huge = HeaderOnlyPng(100000, 100000);
  ASSERT_GT(huge.size(), 33u);
  EXPECT_EQ(Load(huge), nullptr);
  RMemBitmap target(3, 3, 4);
  EXPECT_EQ(Raster_LoadPngMemory(huge.data(), huge.size(), &target), nullptr);
  EXPECT_EQ(target.Width(), 0);  // the target survives, empty
}

// A target whose Resize cannot deliver the size is left alone.
class StubbornBitmap : public RBitmap {
 public:
  uint32_t* Pixels() override { return pixels; }
  int32_t Width() override { return 1; }
  int32_t Height() override { return 1; }
  int32_t RowSpan() override { return 1; }
  bool Resize(int32_t, int32_t) override {
    ++resizes;
    return false;
  }
  uint32_t pixels[1] = {0x12345678};
  int resizes = 0;
};

TEST(PngLoader, TargetOfTheWrongSizeAfterResizeYieldsNothing) {
  StubbornBitmap target;
  const std::vector<uint8_t> bytes = EncodePng(Image(2, 1, 8, 0, {1, 2}));
  EXPECT_EQ(Raster_LoadPngMemory(bytes.data(), bytes.size(), &target), nullptr);
  EXPECT_EQ(target.resizes, 1);
  EXPECT_EQ(target.pixels[0], 0x12345678u);
}

class PngFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("raster_png_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = dir / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path.string();
  }

  std::filesystem::path dir;
  const std::vector<uint8_t> png = EncodePng(Image(2, 1, 8, 2, {9, 8, 7, 6, 5, 4}));
};

TEST_F(PngFiles, FileLoaderDecodesAndFailsOnMissingOrBadFiles) {
  std::unique_ptr<RBitmap> bitmap(Raster_LoadPngFile(Write("image.png", png).c_str()));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0xFF060504u);
  EXPECT_EQ(Raster_LoadPngFile((dir / "missing.png").string().c_str()), nullptr);
  EXPECT_EQ(
      Raster_LoadPngFile(Write("text.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}).c_str()),
      nullptr);
  EXPECT_EQ(Raster_LoadPngFile(nullptr), nullptr);
}

TEST_F(PngFiles, RegisteredLoaderChecksTheExtensionOfTheFileName) {
  bool registered = false;
  for (RImageLoader* l = Raster_ImageLoaders; l; l = l->next)
    registered |= l == &Raster_PngImageLoader;
  ASSERT_TRUE(registered);
  RImageLoader& loader = Raster_PngImageLoader;
  EXPECT_STREQ(loader.describe(), "PNG files (*.PNG)");

  std::unique_ptr<RBitmap> capitals(loader.load(Write("IMAGE.PNG", png).c_str(), true, nullptr));
  EXPECT_TRUE(capitals);
  // The last dot is in a directory name.
  const std::string inDotDir = Write("shots.png/image", png);
  EXPECT_EQ(loader.load(inDotDir.c_str(), true, nullptr), nullptr);
  std::unique_ptr<RBitmap> unchecked(loader.load(inDotDir.c_str(), false, nullptr));
  EXPECT_TRUE(unchecked);
  EXPECT_EQ(loader.load("image", true, nullptr), nullptr);  // no dot, slash or backslash
  EXPECT_EQ(loader.load("", true, nullptr), nullptr);
  EXPECT_EQ(loader.load(Write("image.pngx", png).c_str(), true, nullptr), nullptr);
}

}  // namespace
