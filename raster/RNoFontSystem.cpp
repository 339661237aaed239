// The font system of a platform without a font engine yet: no font can be
// created, so text draws nothing (as with any font that fails to be
// created).
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
  static NoFontSystem system;
  return system;
}
