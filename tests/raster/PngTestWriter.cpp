#include "tests/raster/PngTestWriter.h"

#include <png.h>

#include <stdexcept>

int PngTestImage::Channels() const {
  switch (colourType) {
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 1;
  }
}

size_t PngTestImage::RowBytes() const {
  return (static_cast<size_t>(width) * Channels() * bitDepth + 7) / 8;
}

namespace {

void AppendToVector(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

void DescribeTransparency(png_structp png, png_infop info, const PngTestImage& image) {
  if (!image.paletteAlpha.empty()) {
    png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()),
                 nullptr);
  } else if (image.hasTransparentColour) {
    png_color_16 colour{};
    colour.gray = image.transparentGrey;
    colour.red = image.transparentRed;
    colour.green = image.transparentGreen;
    colour.blue = image.transparentBlue;
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngTestImage& image) {
  if (image.rows.size() != image.RowBytes() * image.height)
    throw std::invalid_argument("row data size");
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rowPointers(image.height);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the test image");
  }
  png_set_write_fn(png, &out, AppendToVector, FlushNothing);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (image.colourType == 3) {
    std::vector<png_color> palette(image.paletteRgb.size() / 3);
    for (size_t i = 0; i < palette.size(); ++i) {
      palette[i] = {image.paletteRgb[3 * i], image.paletteRgb[3 * i + 1],
                    image.paletteRgb[3 * i + 2]};
    }
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  }
  DescribeTransparency(png, info, image);
  for (int y = 0; y < image.height; ++y) {
    rowPointers[y] = const_cast<png_bytep>(image.rows.data() + y * image.RowBytes());
  }
  png_set_rows(png, info, rowPointers.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

namespace {

// Deterministic sample bytes that exercise every bit of every sample.
std::vector<uint8_t> PatternRows(const PngTestImage& image, int seed) {
  std::vector<uint8_t> rows(image.RowBytes() * image.height);
  uint32_t state = 0x9E3779B9u * static_cast<uint32_t>(seed + 1);
  for (auto& b : rows) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(state >> 24);
  }
  return rows;
}

PngTestImage Sample(int width, int height, int depth, int colourType, bool interlaced, int seed) {
  PngTestImage image;
  image.width = width;
  image.height = height;
  image.bitDepth = depth;
  image.colourType = colourType;
  image.interlaced = interlaced;
  image.rows = PatternRows(image, seed);
  return image;
}

// Palette indices must stay below the palette size.
PngTestImage PaletteSample(int depth, bool withAlpha, bool interlaced, int seed) {
  PngTestImage image = Sample(9, 7, depth, 3, interlaced, seed);
  const int entries = 1 << depth;
  for (int i = 0; i < entries; ++i) {
    image.paletteRgb.push_back(static_cast<uint8_t>(i * 37));
    image.paletteRgb.push_back(static_cast<uint8_t>(255 - i * 11));
    image.paletteRgb.push_back(static_cast<uint8_t>(i * 5));
    if (withAlpha && i < 3) image.paletteAlpha.push_back(static_cast<uint8_t>(i * 100));
  }
  return image;
}

}  // namespace

std::vector<NamedPng> PngSampleSet() {
  std::vector<NamedPng> set;
  int seed = 0;
  const auto add = [&](const std::string& name, const PngTestImage& image) {
    set.push_back({name, EncodePng(image)});
  };
  for (int depth : {1, 2, 4, 8, 16})
    add("grey" + std::to_string(depth), Sample(11, 5, depth, 0, false, ++seed));
  PngTestImage greyKey = Sample(6, 4, 8, 0, false, ++seed);
  greyKey.hasTransparentColour = true;
  greyKey.transparentGrey = greyKey.rows[0];
  add("grey8-trns", greyKey);
  add("grey-alpha8", Sample(7, 3, 8, 4, false, ++seed));
  add("grey-alpha16", Sample(7, 3, 16, 4, false, ++seed));
  for (int depth : {1, 2, 4, 8})
    add("palette" + std::to_string(depth), PaletteSample(depth, false, false, ++seed));
  add("palette8-trns", PaletteSample(8, true, false, ++seed));
  add("palette4-trns", PaletteSample(4, true, false, ++seed));
  add("rgb8", Sample(5, 4, 8, 2, false, ++seed));
  add("rgb16", Sample(5, 4, 16, 2, false, ++seed));
  PngTestImage rgbKey = Sample(5, 4, 8, 2, false, ++seed);
  rgbKey.hasTransparentColour = true;
  rgbKey.transparentRed = rgbKey.rows[0];
  rgbKey.transparentGreen = rgbKey.rows[1];
  rgbKey.transparentBlue = rgbKey.rows[2];
  add("rgb8-trns", rgbKey);
  add("rgba8", Sample(6, 6, 8, 6, false, ++seed));
  add("rgba16", Sample(6, 6, 16, 6, false, ++seed));
  add("rgba8-interlaced", Sample(13, 11, 8, 6, true, ++seed));
  add("grey1-interlaced", Sample(13, 11, 1, 0, true, ++seed));
  add("palette8-trns-interlaced", PaletteSample(8, true, true, ++seed));
  add("rgb16-interlaced", Sample(9, 9, 16, 2, true, ++seed));
  return set;
}
