// libFuzzer target: cached-font text must be safe on any bytes, with any
// font flags, text flags, rectangle, opacity and blend mode: measuring and
// drawing stay inside the bitmap and the coverage buffer.
//
// Glyphs come from the test font system (blocks of known coverage) or, when
// the font byte asks, from FreeType (Arial as fontconfig finds it).
//
// Input: font flags (2 bytes), text flags (4), rectangle left, top, right,
// bottom (2 each, signed, times 16), opacity, blend operation, background
// mode (1 each), font (1: height - 1 in the low 6 bits; bit 7 FreeType,
// bit 6 with it the height as an em height), then the text.
#include "raster/RCachedFont.h"
#include "raster/RMemBitmap.h"
#include "tests/raster/FakeFontSystem.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr size_t kHeaderBytes = 18;
constexpr uint32_t kFreeTypeBit = 0x80;
constexpr uint32_t kEmHeightBit = 0x40;

// FreeType fonts are opened once per font byte and kept: opening a face
// costs far more than a run.
RFontHandle FreeTypeFont(uint32_t fontByte) {
  static RFontHandle opened[128] = {};
  RFontHandle& handle = opened[fontByte & 0x7F];
  if (!handle) {
    RFontRequest request;
    request.face = "Arial";
    const int32_t height = static_cast<int32_t>(fontByte % 64) + 1;
    request.height = fontByte & kEmHeightBit ? -height : height;
    handle = Raster_PlatformFontSystem().OpenFont(request);
  }
  return handle;
}

class Input {
 public:
  Input(const uint8_t* bytes) : next(bytes) {}

  uint32_t Unsigned(int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) v = v << 8 | *next++;
    return v;
  }
  int32_t Coordinate() { return static_cast<int16_t>(Unsigned(2)) * 16; }

 private:
  const uint8_t* next;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeaderBytes) return 0;
  static FakeFontSystem fonts;
  Input in(data);
  const int32_t fontFlags = static_cast<int32_t>(in.Unsigned(2)) & ~RFontFlag::OwnsFont;
  const uint32_t textFlags = in.Unsigned(4);
  RRect rect;
  rect.left = in.Coordinate();
  rect.top = in.Coordinate();
  rect.right = in.Coordinate();
  rect.bottom = in.Coordinate();
  const float opacity = static_cast<float>(in.Unsigned(1)) / 200.0f;
  const RBlendMode mode = in.Unsigned(1);
  const int32_t backgroundMode = static_cast<int32_t>(in.Unsigned(1) % 3);
  const uint32_t fontByte = in.Unsigned(1);
  const bool freeType = (fontByte & kFreeTypeBit) != 0;
  // Zero-terminated behind its counted length, as the length 0 needs.
  const std::string bytes(reinterpret_cast<const char*>(data + kHeaderBytes), size - kHeaderBytes);
  const char* text = bytes.c_str();
  const int32_t length = static_cast<int32_t>(bytes.size());

  // A font keeps the system it was set up with.
  Raster_SetFontSystem(freeType ? nullptr : &fonts);
  RCachedFont font;
  if (freeType) {
    font.SetFont(FreeTypeFont(fontByte), fontFlags);
  } else {
    font.SetFont(fonts.OpenFont(static_cast<int32_t>(fontByte % 64) + 1),
                 fontFlags | RFontFlag::OwnsFont);
  }
  font.SetTextColour(0xC0FFEE00u ^ textFlags);
  font.SetBlend(mode, opacity);
  font.SetBackgroundMode(backgroundMode);
  RMemBitmap bitmap(61, 37, 4);
  RRect measured = rect;
  font.DrawText(nullptr, text, length, &measured, textFlags | RText::CalcRect);
  font.DrawText(&bitmap, text, length, &rect, textFlags & ~RText::CalcRect);
  font.DrawText(&bitmap, text, 0, &rect, textFlags);  // up to the first zero byte
  return 0;
}
