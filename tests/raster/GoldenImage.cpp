#include "tests/raster/GoldenImage.h"

#include "raster/RPixelView.h"
#include "raster/RPngLoader.h"
#include "tests/raster/PngTestWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

bool WriteBitmapPng(RBitmap& bitmap, const std::string& path) {
  const RPixelView view = RPixelView::Of(&bitmap);
  PngTestImage image;
  image.width = view.width;
  image.height = view.height;
  image.colourType = 6;
  for (int32_t y = 0; y < view.height; ++y) {
    for (int32_t x = 0; x < view.width; ++x) {
      const uint32_t p = view.Row(y)[x];
      image.rows.insert(image.rows.end(),
                        {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                         static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)});
    }
  }
  const std::vector<uint8_t> bytes = EncodePng(image);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

void ExpectMatchesGolden(RBitmap& image, const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name + ".png";
  if (std::getenv("DM_UPDATE_GOLDEN")) {
    ASSERT_TRUE(WriteBitmapPng(image, path)) << path;
    return;
  }
  std::unique_ptr<RBitmap> golden(Raster_LoadPngFile(path.c_str()));
  ASSERT_TRUE(golden) << "no golden image " << path << " (DM_UPDATE_GOLDEN=1 writes it)";
  ASSERT_EQ(golden->Width(), image.Width()) << name;
  ASSERT_EQ(golden->Height(), image.Height()) << name;
  const RPixelView actualView = RPixelView::Of(&image);
  const RPixelView goldenView = RPixelView::Of(golden.get());
  int32_t differing = 0, firstX = -1, firstY = -1;
  for (int32_t y = 0; y < actualView.height; ++y) {
    for (int32_t x = 0; x < actualView.width; ++x) {
      if (actualView.Row(y)[x] == goldenView.Row(y)[x]) continue;
      if (differing++ == 0) firstX = x, firstY = y;
    }
  }
  if (differing == 0) return;
  const std::string actual =
      (std::filesystem::temp_directory_path() / (name + ".actual.png")).string();
  WriteBitmapPng(image, actual);
  ADD_FAILURE() << name << ": " << differing << " pixels differ, the first at (" << firstX << ", "
                << firstY << "); this paint is in " << actual;
}
