#include "raster/RFreeTypeFontSystem.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace {

// What a font handle points to. The face is shared with the glyph source,
// which a cached font may release after closing the handle.
struct FreeTypeFont {
  std::shared_ptr<RFreeTypeFace> face;
};

bool SameFamily(const std::string& a, const char* b) {
  return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

FreeTypeFont* FontOf(RFontHandle handle) { return reinterpret_cast<FreeTypeFont*>(handle); }

RFontHandle HandleFor(std::unique_ptr<RFreeTypeFace> face) {
  if (!face) return nullptr;
  return reinterpret_cast<RFontHandle>(new FreeTypeFont{std::move(face)});
}

class FreeTypeGlyphSource final : public RGlyphSource {
 public:
  explicit FreeTypeGlyphSource(std::shared_ptr<RFreeTypeFace> source) : face(std::move(source)) {}

  int32_t LineHeight() override { return face->LineHeight(); }
  bool Render(uint16_t code, RGlyphImage& image) override { return face->Render(code, image); }

 private:
  std::shared_ptr<RFreeTypeFace> face;
};

}  // namespace

RFreeTypeFontSystem::RFreeTypeFontSystem(Locator finder) : locator(finder) {}

RFreeTypeFontSystem::~RFreeTypeFontSystem() = default;

bool RFreeTypeFontSystem::AddFace(const char* family, const uint8_t* data, size_t size) {
  if (!family || !data || size == 0) return false;
  auto bytes = std::make_shared<const std::vector<uint8_t>>(data, data + size);
  if (!RFreeTypeFace::Open(bytes, 0, RFontRequest{})) return false;
  registered.push_back({family, std::move(bytes)});
  return true;
}

const RFreeTypeFontSystem::Registered* RFreeTypeFontSystem::RegisteredFamily(
    const char* family) const {
  for (const Registered& r : registered) {
    if (SameFamily(r.family, family)) return &r;
  }
  return nullptr;
}

RFontHandle RFreeTypeFontSystem::OpenFont(const RFontRequest& request) {
  const char* family = request.face ? request.face : "";
  if (const Registered* r = RegisteredFamily(family))
    return HandleFor(RFreeTypeFace::Open(r->bytes, 0, request));
  std::string path;
  int32_t index = 0;
  if (locator && locator(request, path, index))
    return HandleFor(RFreeTypeFace::Open(path.c_str(), index, request));
  if (!registered.empty())
    return HandleFor(RFreeTypeFace::Open(registered.front().bytes, 0, request));
  return nullptr;
}

void RFreeTypeFontSystem::CloseFont(RFontHandle font) { delete FontOf(font); }

std::unique_ptr<RGlyphSource> RFreeTypeFontSystem::OpenGlyphSource(RFontHandle font) {
  if (!font) return nullptr;
  return std::make_unique<FreeTypeGlyphSource>(FontOf(font)->face);
}

RFontHandle RFreeTypeFontSystem::OpenFontFile(const char* path, const RFontRequest& request) {
  return HandleFor(RFreeTypeFace::Open(path, 0, request));
}

RFontHandle RFreeTypeFontSystem::OpenFontData(const uint8_t* data, size_t size,
                                              const RFontRequest& request) {
  if (!data || size == 0) return nullptr;
  return HandleFor(RFreeTypeFace::Open(
      std::make_shared<const std::vector<uint8_t>>(data, data + size), 0, request));
}
