#include "raster/RPngResource.h"
#include "tests/raster/PngTestWriter.h"
#include "tests/raster/RasterTestBitmaps.h"
#include "tests/raster/RasterTestResources.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

HMODULE ThisModule() { return GetModuleHandleA(nullptr); }

TEST(PngResource, RejectsShortMissingAndNonPngResources) {
  HRSRC shortOne = FindResourceA(ThisModule(), MAKEINTRESOURCEA(kSevenByteResource), "PNG");
  ASSERT_NE(shortOne, nullptr);
  ASSERT_EQ(SizeofResource(ThisModule(), shortOne), 7u);
  EXPECT_EQ(Raster_LoadPngResource(ThisModule(), kSevenByteResource), nullptr);
  EXPECT_EQ(Raster_LoadPngResource(ThisModule(), kNotPngResource), nullptr);
  EXPECT_EQ(Raster_LoadPngResource(ThisModule(), kMissingResource), nullptr);
}

// The PNG is made at test time, so it is added to a copy of this executable
// with the resource-update API and read back from that module.
class PngResourceModule : public ::testing::Test {
 protected:
  void SetUp() override {
    char self[MAX_PATH], folder[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    copy = std::string(folder) + "raster_png_resource_" + std::to_string(GetCurrentProcessId()) +
           ".exe";
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));

    PngTestImage image;
    image.width = 2;
    image.height = 1;
    image.colourType = 6;
    image.rows = {0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xCC, 0xDD};
    png = EncodePng(image);
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(UpdateResourceA(update, "PNG", MAKEINTRESOURCEA(kGeneratedPngResource),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), png.data(),
                                DWORD(png.size())));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    module = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
    DeleteFileA(copy.c_str());
  }

  std::string copy;
  std::vector<uint8_t> png;
  HMODULE module = nullptr;
};

TEST_F(PngResourceModule, DecodesTheResourceAndUsesOnlyTheLow16BitsOfTheId) {
  std::unique_ptr<RBitmap> bitmap(Raster_LoadPngResource(module, kGeneratedPngResource));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Width(), 2);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0x44112233u);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0xDDAABBCCu);
  std::unique_ptr<RBitmap> highBits(
      Raster_LoadPngResource(module, kGeneratedPngResource | 0x30000));
  EXPECT_TRUE(highBits);
  RMemBitmap target(1, 1, 4);
  EXPECT_EQ(Raster_LoadPngResource(module, kGeneratedPngResource, &target), &target);
  EXPECT_EQ(PixelAt(target, 1, 0), 0xDDAABBCCu);
}

}  // namespace
