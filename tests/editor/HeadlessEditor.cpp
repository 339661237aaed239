#include "tests/editor/HeadlessEditor.h"

#include <utility>

#include "editor/IControl.h"
#include "framework/IEffectBase.h"
#include "raster/RPngLoader.h"
#include "tests/raster/FakeFontSystem.h"

void UseFakeFonts() {
  static FakeFontSystem fonts;
  Raster_SetFontSystem(&fonts);
}

HeadlessEditor::HeadlessEditor(IEffectBase* owner, std::string imageFolder, int32_t w, int32_t h,
                               int32_t framesPerSecond)
    : IEditor(owner, w, h, framesPerSecond), folder(std::move(imageFolder)) {
  UseFakeFonts();
}

bool HeadlessEditor::Tick() {
  if (countdown > 0 && --countdown == 0 && plugin) plugin->FlushDeferredEndOfEdit();
  IBounds area;
  if (!CollectChangedArea(area)) return false;
  PaintInvalid(area);
  return true;
}

bool HeadlessEditor::Present(const IBounds& area) {
  presented.push_back(area);
  return true;
}

void HeadlessEditor::EditParameterText(IControl* control, IParameter*) {
  textEntries.push_back(control->paramIdx);
}

bool HeadlessEditor::OpenWebPage(const char* address, const char*, const char*, const char*) {
  pagesOpened.emplace_back(address);
  return pagesOpen;
}

RBitmap* HeadlessEditor::LoadBitmapResource(int32_t, const char* name) {
  return Raster_LoadPngFile((folder + "/" + name).c_str());
}
