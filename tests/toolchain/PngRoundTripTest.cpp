// Encodes an image with the linked libpng and decodes it again: on win64 this
// is the cross-built static libpng and zlib, so a broken build shows here.
#include <png.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct MemoryReader {
  const std::vector<uint8_t>* bytes;
  size_t position = 0;
};

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* in = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (in->position + length > in->bytes->size()) png_error(png, "read past end");
  std::memcpy(data, in->bytes->data() + in->position, length);
  in->position += length;
}

std::vector<uint8_t> EncodeRgba(int width, int height, const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, WriteToVector, nullptr);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_ADAM7,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) rows[y] = const_cast<png_bytep>(&pixels[size_t(y) * width * 4]);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> DecodeRgba(const std::vector<uint8_t>& file, int& width, int& height) {
  MemoryReader reader{&file};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<uint8_t> pixels;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return {};
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  width = static_cast<int>(png_get_image_width(png, info));
  height = static_cast<int>(png_get_image_height(png, info));
  png_bytepp rows = png_get_rows(png, info);
  for (int y = 0; y < height; ++y) pixels.insert(pixels.end(), rows[y], rows[y] + width * 4);
  png_destroy_read_struct(&png, &info, nullptr);
  return pixels;
}

TEST(Toolchain, LinkedLibpngRoundTripsAnInterlacedImage) {
  const int width = 37, height = 11;
  std::vector<uint8_t> pixels(size_t(width) * height * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 31 + (i >> 7));
  const std::vector<uint8_t> file = EncodeRgba(width, height, pixels);
  ASSERT_GT(file.size(), 8u);
  int w = 0, h = 0;
  EXPECT_EQ(DecodeRgba(file, w, h), pixels);
  EXPECT_EQ(w, width);
  EXPECT_EQ(h, height);
}

TEST(Toolchain, CorruptPngFailsThroughTheErrorExit) {
  const int width = 4, height = 4;
  std::vector<uint8_t> file = EncodeRgba(width, height, std::vector<uint8_t>(64, 7));
  file.resize(file.size() / 2);
  int w = 0, h = 0;
  EXPECT_TRUE(DecodeRgba(file, w, h).empty());
}

}  // namespace
