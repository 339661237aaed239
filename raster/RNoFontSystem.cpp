// The font system of a platform without a font engine yet (the browser): no
// font can be created, so text draws nothing (as with any font that fails to
// be created).
#include "raster/RFontSystem.h"

#include <new>

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
  // Built in the module's own storage, not on the heap, so unloading the
  // module leaves nothing behind.
  alignas(NoFontSystem) static unsigned char storage[sizeof(NoFontSystem)];
  static NoFontSystem* const system = new (storage) NoFontSystem;
  return *system;
}
