#include "editor/IFontCache.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/TextCopy.h"
#include "raster/RCachedFont.h"
#include "raster/RFontSystem.h"

namespace {

struct Entry {
  int32_t size;
  int32_t orientation;
  int32_t style;
  char face[ITextStyle::kFontNameCapacity];
  std::unique_ptr<RCachedFont> font;

  bool Matches(const ITextStyle& s) const {
    return size == s.size && orientation == s.orientation && style == s.style &&
           std::strncmp(face, s.font, sizeof face) == 0;
  }
};

// The Win32 quality value a style's quality selects.
int32_t FontQuality(int32_t quality) {
  switch (quality) {
    case 0:
      return 0;
    case 2:
      return 4;  // antialiased
    case 3:
      return 5;  // ClearType
    default:
      return 3;  // non-antialiased
  }
}

std::unique_ptr<RCachedFont> MakeFont(const ITextStyle& style, const char* face) {
  RFontRequest request;
  request.face = face;
  request.height = style.size;
  request.escapement = style.orientation * 10;
  request.weight = (style.style & 1) ? 700 : 400;
  request.italic = (style.style & 2) != 0;
  request.quality = FontQuality(style.quality);
  RFontSystem& system = Raster_FontSystem();
  RFontHandle handle = system.OpenFont(request);
  if (!handle) return nullptr;
  auto font = std::make_unique<RCachedFont>();
  // The font owns the handle from here on, also when it cannot be read.
  if (!font->SetFont(handle, RFontFlag::OwnsFont | RFontFlag::PreferSystem)) return nullptr;
  return font;
}

class Cache {
 public:
  ~Cache() {
    while (!entries.empty()) entries.pop_back();
  }

  RCachedFont* FindOrCreate(const ITextStyle& style) {
    std::lock_guard<std::mutex> guard(lock);
    for (const Entry& e : entries) {
      if (e.Matches(style)) return e.font.get();
    }
    Entry made{style.size, style.orientation, style.style, {}, nullptr};
    CopyBytesAsText(made.face, sizeof made.face, style.font, sizeof style.font);
    made.font = MakeFont(style, made.face);
    if (!made.font) return nullptr;
    entries.push_back(std::move(made));
    return entries.back().font.get();
  }

 private:
  std::mutex lock;
  std::vector<Entry> entries;
};

// Destroyed when the module unloads.
Cache& TheCache() {
  static Cache cache;
  return cache;
}

}  // namespace

RCachedFont* IFontCache::FindOrCreate(const ITextStyle& style) {
  return TheCache().FindOrCreate(style);
}
