// The platform's font system on Linux: FreeType fonts whose files fontconfig
// finds. Fontconfig's aliases give metric-compatible faces for the Windows
// families ("Arial" is Liberation Sans where fonts-liberation is installed),
// and an unknown family falls back to the default sans face, as GDI
// substitutes an unknown face name.
#include "raster/RFreeTypeFontSystem.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

#include <mutex>
#include <new>

namespace {

// Fontconfig's configuration is loaded on the first match; the lock keeps
// two first matches from different threads apart.
std::mutex fontconfigLock;

// Fontconfig keeps its configuration for the life of the process. When a
// host unloads this module, fontconfig would go with it (nothing else may
// have loaded it) and strand that memory; so it stays loaded.
void KeepFontconfigLoaded() {
  static void* const kept = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NODELETE);
  (void)kept;
}

bool LocateWithFontconfig(const RFontRequest& request, std::string& path, int32_t& index) {
  std::lock_guard<std::mutex> guard(fontconfigLock);
  KeepFontconfigLoaded();
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (request.face && *request.face)
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  int faceIndex = 0;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (found) {
    path = reinterpret_cast<const char*>(file);
    index = FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex) == FcResultMatch ? faceIndex : 0;
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace

RFontSystem& Raster_PlatformFontSystem() {
  // Never destroyed: fonts held in process-wide caches close their handles
  // through it when those caches go at unload, later than a static would.
  // Built in the module's own storage, not on the heap, so unloading the
  // module leaves nothing behind.
  alignas(RFreeTypeFontSystem) static unsigned char storage[sizeof(RFreeTypeFontSystem)];
  static RFreeTypeFontSystem* const system =
      new (storage) RFreeTypeFontSystem(LocateWithFontconfig);
  return *system;
}
