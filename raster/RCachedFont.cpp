#include "raster/RCachedFont.h"

#include "platform/SaturatingConversions.h"
#include "raster/RFill.h"
#include "raster/RGlyphBlend.h"
#include "raster/RPixelOps.h"
#include "raster/RPixelView.h"
#include "raster/RUtf8.h"

#include <algorithm>
#include <utility>

namespace {

// Live fonts: the last one gone releases the shared scratch bitmaps.
int32_t fontCount = 0;

// Taller fonts are refused by the glyph path; taller than kSystemLineHeight
// go to the system's engine where it has one.
constexpr int32_t kMaxGlyphLineHeight = 1023;
constexpr int32_t kSystemLineHeight = 255;

// Asked of the target before the system's engine may draw into it.
constexpr int32_t kNativeFormatQuery = 0x59555678;

constexpr uint16_t kLineFeed = 10;
constexpr uint16_t kCarriageReturn = 13;
constexpr uint16_t kSpace = 32;

// Characters of a text: a positive length counts bytes, otherwise the text
// ends at its zero byte. Sequences never reach past the given length.
class TextReader {
 public:
  TextReader(const char* text, int32_t length)
      : next(text), left(length > 0 ? static_cast<size_t>(length) : 0), counted(length > 0) {}

  bool Next(uint16_t& code) {
    int32_t used;
    if (counted) {
      if (left == 0) return false;
      used = Raster_DecodeUtf8(next, left, &code);
      left -= static_cast<size_t>(used);
    } else {
      if (*next == 0) return false;
      used = Raster_DecodeUtf8(next, &code);
    }
    next += used;
    return true;
  }

 private:
  const char* next;
  size_t left;
  bool counted;
};

RRect Intersect(const RRect& a, const RRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// Pen positions and extents are kept in 64 bits, so neither a long text nor
// a far-off rectangle can overflow them; results are held to 32 bits
// (SaturateToInt32).
bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

bool IsEmpty(const RRect& r) { return r.right <= r.left || r.bottom <= r.top; }

RRect BoundsOf(const RPixelView& view) { return {0, 0, view.width, view.height}; }

}  // namespace

RCachedFont::RCachedFont() {
  ++fontCount;
  glyphs.Clear();
}

RCachedFont::~RCachedFont() {
  if ((fontFlags & RFontFlag::OwnsFont) && fontHandle) system->CloseFont(fontHandle);
  source.reset();
  if (--fontCount == 0) {
    RFontSystem& current = Raster_FontSystem();
    current.ReleaseScratch();
    if (system && system != &current) system->ReleaseScratch();
  }
}

bool RCachedFont::SetFont(RFontHandle font, int32_t flags) {
  if ((fontFlags & RFontFlag::OwnsFont) && fontHandle && fontHandle != font)
    system->CloseFont(fontHandle);
  fontFlags = flags;
  fontHandle = font;
  system = &Raster_FontSystem();
  source.reset();
  lineHeight = 0;
  if (font) {
    source = system->OpenGlyphSource(font);
    if (source) lineHeight = source->LineHeight();
  }
  glyphs.Clear();
  if (font && !source) return false;
  if (!(flags & RFontFlag::AsciiOnly)) return true;
  bool rendered = false;
  for (uint16_t code = 0; code < 128; ++code) rendered = RenderGlyph(code);
  return rendered;
}

uint32_t RCachedFont::SetTextColour(uint32_t colour) { return std::exchange(textColour, colour); }

uint32_t RCachedFont::SetBackgroundColour(uint32_t colour) {
  return std::exchange(backgroundColour, colour);
}

uint32_t RCachedFont::SetOutlineColour(uint32_t colour) {
  return std::exchange(outlineColour, colour);
}

int32_t RCachedFont::SetBackgroundMode(int32_t mode) { return std::exchange(backgroundMode, mode); }

void RCachedFont::SetBlend(RBlendMode mode, float newOpacity) {
  blendMode = mode;
  opacity = newOpacity;
}

bool RCachedFont::RenderGlyph(uint16_t code) {
  if (!source || lineHeight > kMaxGlyphLineHeight) return false;
  return glyphs.Render(*source, code, fontFlags);
}

const RGlyph* RCachedFont::GlyphWithCoverage(uint16_t code) {
  const RGlyph* glyph = glyphs.Find(code);
  if (!glyph || glyph->offset == 0) {
    RenderGlyph(code);
    glyph = glyphs.Find(code);
  }
  return glyph && glyphs.CoverageOf(*glyph) ? glyph : nullptr;
}

bool RCachedFont::DrawGlyph(RBitmap* bitmap, uint16_t code, int32_t x, int32_t y,
                            const RRect& clip) {
  const RGlyph* glyph = GlyphWithCoverage(code);
  if (!glyph) return false;
  const RPixelView view = RPixelView::Of(bitmap);
  if (!view.Usable()) return false;
  int64_t left = x, top = y;
  if (!(fontFlags & RFontFlag::QuarterTurn)) {
    left -= glyph->bearing;
  } else if (fontFlags & RFontFlag::CounterClockwise) {
    top -= glyph->bearing;
  } else {
    top += glyph->bearing;
  }
  const RRect box{SaturateToInt32(left), SaturateToInt32(top), SaturateToInt32(left + glyph->width),
                  SaturateToInt32(top + glyph->height)};
  const RRect area = Intersect(Intersect(box, clip), BoundsOf(view));
  if (IsEmpty(area)) return false;
  if (backgroundMode == 2) {
    Raster_FillRect(bitmap, area.left, area.top, area.right - area.left, area.bottom - area.top,
                    backgroundColour, opacity, blendMode & ~RBlendUseAlpha);
  }
  const uint8_t* coverage = glyphs.CoverageOf(*glyph) +
                            static_cast<ptrdiff_t>(area.top - top) * glyph->width +
                            static_cast<ptrdiff_t>(area.left - left);
  RGlyphPaint paint;
  paint.textColour = textColour;
  paint.outlineColour = outlineColour;
  paint.opacity = opacity;
  paint.mode = blendMode;
  paint.monochrome =
      (fontFlags & (RFontFlag::Monochrome | RFontFlag::Shadow | RFontFlag::Outline)) != 0;
  Raster_BlendGlyph(view, area.left, area.top, coverage, glyph->width, area.right - area.left,
                    area.bottom - area.top, paint);
  return true;
}

int32_t RCachedFont::DrawText(RBitmap* bitmap, const char* text, int32_t length, RRect* rect,
                              uint32_t flags) {
  if (!text || !rect) return 0;
  const bool noSystem = (flags & RText::NoSystem) != 0;
  flags &= ~RText::NoSystem;
  if (!bitmap && !(flags & RText::CalcRect)) return 0;
  if (UsesSystemEngine(bitmap, flags, noSystem))
    return DrawWithSystem(bitmap, text, length, rect, flags);
  if (flags & RText::CalcRect) return MeasureGlyphs(text, length, *rect, flags);
  return DrawGlyphs(bitmap, text, length, *rect, flags);
}

bool RCachedFont::UsesSystemEngine(RBitmap* bitmap, uint32_t flags, bool noSystem) {
  if (!system || !fontHandle || !system->DrawsStrings()) return false;
  if (bitmap && bitmap->Extension(kNativeFormatQuery, 0) != 0) return false;
  if (lineHeight > kSystemLineHeight) return true;
  return (fontFlags & RFontFlag::PreferSystem) && !noSystem && !system->PrefersGlyphs() &&
         !(flags & RText::OpacityFromAlpha) && !(fontFlags & RFontFlag::GlyphEffects) &&
         (lineGap == 0 || (flags & RText::SingleLine));
}

int32_t RCachedFont::DrawWithSystem(RBitmap* bitmap, const char* text, int32_t length, RRect* rect,
                                    uint32_t flags) {
  RStringJob job;
  job.font = fontHandle;
  job.lineHeight = lineHeight;
  job.textColour = textColour;
  job.backgroundColour = backgroundColour;
  job.backgroundMode = backgroundMode;
  job.opacity = opacity;
  job.bitmap = bitmap;
  job.text = text;
  job.length = length;
  job.rect = rect;
  job.flags = flags & ~RText::OpacityFromAlpha;  // the library's bit, not GDI's
  return system->DrawString(job);
}

// Calls visit(glyph) for each character with coverage and visit(nullptr) at
// each line break. Carriage returns are skipped; under SingleLine a line
// feed is a space.
template <typename Visit>
void RCachedFont::WalkText(const char* text, int32_t length, uint32_t flags, Visit&& visit) {
  TextReader reader(text, length);
  uint16_t code;
  while (reader.Next(code)) {
    if (code == kCarriageReturn) continue;
    if (code == kLineFeed) {
      if (!(flags & RText::SingleLine)) {
        visit(nullptr);
        continue;
      }
      code = kSpace;
    }
    if (const RGlyph* glyph = GlyphWithCoverage(code)) visit(glyph);
  }
}

// Extents along the line and across the lines; for quarter-turned text the
// line runs down and the lines advance to the right.
int32_t RCachedFont::MeasureGlyphs(const char* text, int32_t length, RRect& rect, uint32_t flags) {
  const bool turned = (fontFlags & RFontFlag::QuarterTurn) != 0;
  int64_t along = 0, across = 0, extentAlong = 0, extentAcross = 0;
  WalkText(text, length, flags, [&](const RGlyph* glyph) {
    if (!glyph) {
      across += int64_t{lineHeight} + lineGap;
      along = 0;
      return;
    }
    const int32_t sizeAlong = turned ? glyph->height : glyph->width;
    const int32_t sizeAcross = turned ? glyph->width : glyph->height;
    const int64_t before = along;
    along += glyph->advance;
    extentAlong = std::max({extentAlong, along, before + sizeAlong - glyph->bearing});
    extentAcross = std::max(extentAcross, across + sizeAcross);
  });
  rect.right = SaturateToInt32(rect.left + (turned ? extentAcross : extentAlong));
  rect.bottom = SaturateToInt32(rect.top + (turned ? extentAlong : extentAcross));
  return SaturateToInt32(extentAcross);
}

int32_t RCachedFont::DrawGlyphs(RBitmap* bitmap, const char* text, int32_t length,
                                const RRect& rect, uint32_t flags) {
  const float savedOpacity = opacity;
  if (flags & RText::OpacityFromAlpha) {
    opacity = static_cast<float>(opacity * (RPixel::Alpha(textColour) * 0.00392156862745098));
    if (opacity == 0.0f) {
      opacity = savedOpacity;
      return 0;
    }
  }
  const int32_t height = PaintGlyphs(bitmap, text, length, rect, flags);
  opacity = savedOpacity;
  return height;
}

int32_t RCachedFont::PaintGlyphs(RBitmap* bitmap, const char* text, int32_t length,
                                 const RRect& rect, uint32_t flags) {
  const bool turned = (fontFlags & RFontFlag::QuarterTurn) != 0;
  const bool upward = turned && (fontFlags & RFontFlag::CounterClockwise);
  int64_t startX = rect.left, startY = rect.top;
  if ((flags & RText::AlignMask) || upward) {
    // Measured on the glyph path itself, so the alignment matches what is
    // drawn.
    RRect size{0, 0, 0, 0};
    MeasureGlyphs(text, length, size, flags & RText::SingleLine);
    if (flags & RText::Center) startX += (int64_t{rect.right} - rect.left - size.right) / 2;
    if (flags & RText::Right) startX = int64_t{rect.right} - size.right;
    if (flags & RText::VCenter) startY += (int64_t{rect.bottom} - rect.top - size.bottom) / 2;
    if (flags & RText::Bottom) startY = int64_t{rect.bottom} - size.bottom;
    if (upward) startY += size.bottom;
  }
  const RRect bounds = BoundsOf(RPixelView::Of(bitmap));
  const RRect clip = (flags & RText::NoClip) ? bounds : Intersect(rect, bounds);
  if (IsEmpty(clip)) return 0;

  int64_t x = startX, y = startY;
  int64_t farthest = turned ? startX : startY;
  WalkText(text, length, flags, [&](const RGlyph* glyph) {
    if (!glyph) {
      if (turned) {
        x += int64_t{lineHeight} + lineGap;
        y = startY;
      } else {
        y += int64_t{lineHeight} + lineGap;
        x = startX;
      }
      return;
    }
    // The record may move when later glyphs are cached: copy what is used.
    const RGlyph g = *glyph;
    if (upward) y -= g.height;
    // A pen beyond 32 bits is beyond every bitmap.
    if (FitsInt32(x) && FitsInt32(y) &&
        DrawGlyph(bitmap, g.code, static_cast<int32_t>(x), static_cast<int32_t>(y), clip))
      farthest = std::max(farthest, turned ? x + g.width : y + g.height);
    if (!turned) {
      x += g.advance;
    } else {
      y += upward ? g.height - g.advance : g.advance;
    }
  });
  return SaturateToInt32(farthest - (turned ? startX : startY));
}
