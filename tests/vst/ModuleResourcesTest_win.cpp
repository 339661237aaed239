// The editor's images travel inside the DLL as "PNG" resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "raster/RPngResource.h"
#include "tests/vst/ModuleUnderTest.h"

TEST(ModuleResources, CarriesTheFourEditorImagesWithTheirSizesAndAlpha) {
  struct Row {
    int32_t id, width, height;
    bool transparentCorner;
  };
  const Row rows[] = {
      {100, 488, 282, false}, {101, 42, 42, true}, {102, 104, 52, true}, {103, 16, 16, true}};
  ASSERT_TRUE(LoadedModule().IsLoaded()) << LoadedModule().Error();
  auto* module = static_cast<HINSTANCE>(LoadedModule().Handle());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    std::unique_ptr<RBitmap> image(Raster_LoadPngResource(module, row.id));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), row.width);
    EXPECT_EQ(image->Height(), row.height);
    const uint32_t cornerAlpha = image->Pixels()[0] >> 24;
    EXPECT_EQ(cornerAlpha, row.transparentCorner ? 0u : 255u);
  }
  EXPECT_EQ(Raster_LoadPngResource(module, 104), nullptr);
}
