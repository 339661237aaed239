// Fonts rasterised by FreeType, one glyph at a time into the glyph cache
// (there is no string engine: every text takes the glyph path). A request's
// face is, in this order: a face registered under its family name, the face
// the locator finds (fontconfig on Linux), the first registered face (a
// program that bundles one font draws every text with it); with none of
// these, no font is made and text draws nothing.
//
// Faces are registered before fonts are opened; fonts are opened, read and
// closed on the editor's window thread (the process-wide font cache
// serialises the opening).
#pragma once

#include "raster/RFreeTypeFace.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class RFreeTypeFontSystem final : public RFontSystem {
 public:
  // Finds the file holding request's face and the face's index in it; false
  // when there is none.
  using Locator = bool (*)(const RFontRequest& request, std::string& path, int32_t& index);

  explicit RFreeTypeFontSystem(Locator locator = nullptr);
  ~RFreeTypeFontSystem() override;

  // Registers a font file's bytes (copied once, shared by every font opened
  // from them) under a family name, matched without regard to case. False
  // when FreeType cannot read them.
  bool AddFace(const char* family, const uint8_t* data, size_t size);

  RFontHandle OpenFont(const RFontRequest& request) override;
  void CloseFont(RFontHandle font) override;
  std::unique_ptr<RGlyphSource> OpenGlyphSource(RFontHandle font) override;

  // A font from a file, or from bytes (copied), sized and styled as request
  // asks; request's face name is not used. Null when FreeType cannot read it.
  RFontHandle OpenFontFile(const char* path, const RFontRequest& request);
  RFontHandle OpenFontData(const uint8_t* data, size_t size, const RFontRequest& request);

 private:
  struct Registered {
    std::string family;
    RFontBytes bytes;
  };

  const Registered* RegisteredFamily(const char* family) const;

  Locator locator;
  std::vector<Registered> registered;
};
