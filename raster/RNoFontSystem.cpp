// The font system of a platform without a font engine yet (the browser): no
// font can be created, so text draws nothing (as with any font that fails to
// be created).
#include "raster/RFontSystem.h"

namespace {

class NoFontSystem final : public RFontSystem {
 public:
  RFontHandle OpenFont(const RFontRequest&) override { return nullptr; }
  void CloseFont(RFontHandle) override {}
  std::unique_ptr<RGlyphSource> OpenGlyphSource(RFontHandle) override { return nullptr; }
};

}  // namespace

RFontSystem& Raster_PlatformFontSystem() {
  // Never destroyed: fonts held in process-wide caches close their handles
  // through it when those caches go at unload, later than a static would.
  static NoFontSystem* const system = new NoFontSystem;
  return *system;
}
