// The platform's font system on Windows: GDI fonts, glyphs rendered by GDI,
// and GDI's own string drawing where it looks right (not under Wine).
#include "raster/RGdiText.h"

#include <windows.h>

namespace {

int32_t wineState = -1;

class GdiFontSystem final : public RFontSystem {
 public:
  RFontHandle OpenFont(const RFontRequest& r) override {
    return reinterpret_cast<RFontHandle>(
        CreateFontA(r.height, 0, r.escapement, r.escapement, r.weight, r.italic ? TRUE : FALSE,
                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    static_cast<DWORD>(r.quality), DEFAULT_PITCH, r.face));
  }

  void CloseFont(RFontHandle font) override {
    if (font) DeleteObject(reinterpret_cast<HFONT>(font));
  }

  std::unique_ptr<RGlyphSource> OpenGlyphSource(RFontHandle font) override {
    return Raster_OpenGdiGlyphSource(font);
  }

  bool DrawsStrings() override { return true; }
  bool PrefersGlyphs() override { return Raster_WineState() == 1; }
  int32_t DrawString(const RStringJob& job) override { return Raster_DrawGdiString(job); }
  void ReleaseScratch() override { Raster_ReleaseGdiScratch(); }
};

}  // namespace

RFontSystem& Raster_PlatformFontSystem() {
  // Never destroyed: fonts held in process-wide caches close their handles
  // through it when those caches go at unload, later than a static would.
  static GdiFontSystem* const system = new GdiFontSystem;
  return *system;
}

int32_t Raster_WineState() {
  if (wineState < 0) {
    HKEY key = nullptr;
    wineState = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS ? 1 : 0;
    if (key) RegCloseKey(key);
  }
  return wineState;
}

void Raster_OverrideWineState(int32_t state) { wineState = state; }
