// The per-pixel blend operations. Each rewrites one destination pixel word
// from source red, green, blue, alpha and an integer weight 0..256. The
// arithmetic is exact: divisions truncate toward zero (intermediates may be
// negative) and every result keeps its low 8 bits.
//
// Operations are types with a static Apply, so blit loops can be
// instantiated per operation instead of switching per pixel; RPixelOp is the
// same operation as a plain function pointer for code that draws a few
// pixels at a time.
#pragma once

#include "raster/RBlendMode.h"

#include <cstdint>

using RPixelOp = void (*)(uint32_t* pixel, int32_t r, int32_t g, int32_t b, int32_t a,
                          int32_t weight);

namespace RPixel {

inline int32_t Blue(uint32_t p) { return static_cast<int32_t>(p & 0xFF); }
inline int32_t Green(uint32_t p) { return static_cast<int32_t>((p >> 8) & 0xFF); }
inline int32_t Red(uint32_t p) { return static_cast<int32_t>((p >> 16) & 0xFF); }
inline int32_t Alpha(uint32_t p) { return static_cast<int32_t>(p >> 24); }

inline uint32_t Pack(int32_t a, int32_t r, int32_t g, int32_t b) {
  return (static_cast<uint32_t>(a) & 0xFF) << 24 | (static_cast<uint32_t>(r) & 0xFF) << 16 |
         (static_cast<uint32_t>(g) & 0xFF) << 8 | (static_cast<uint32_t>(b) & 0xFF);
}

inline int32_t Clamp(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Word forms of the exact weights: every byte halved, quartered or eighthed
// in one shift, with the bits that crossed a byte boundary masked off.
inline uint32_t Half(uint32_t p) { return (p >> 1) & 0x7F7F7F7Fu; }
inline uint32_t Quarter(uint32_t p) { return (p >> 2) & 0x3F3F3F3Fu; }
inline uint32_t Eighth(uint32_t p) { return (p >> 3) & 0x1F1F1F1Fu; }

// (x + s) >> 1 on each byte.
inline uint32_t ByteAverage(uint32_t x, uint32_t s) {
  return Pack((Alpha(x) + Alpha(s)) >> 1, (Red(x) + Red(s)) >> 1, (Green(x) + Green(s)) >> 1,
              (Blue(x) + Blue(s)) >> 1);
}

// Source alpha weighting of the alpha forms.
inline int32_t AlphaWeight(int32_t w, int32_t sa) { return w * (sa + 1) / 256; }

inline int32_t Lerp(int32_t x, int32_t s, int32_t keep) { return s + (x - s) * keep / 256; }

struct Copy {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    if (w == 256) {
      *d = Pack(a, r, g, b);
      return;
    }
    const uint32_t x = *d;
    const int32_t keep = 256 - w;
    *d = Pack(Lerp(Alpha(x), a, keep), Lerp(Red(x), r, keep), Lerp(Green(x), g, keep),
              Lerp(Blue(x), b, keep));
  }
};

// The ordinary alpha blend.
struct CopyAlpha {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    if (a == 0) return;
    const uint32_t x = *d;
    if (w == 256) {
      if (a == 255) {
        *d = Pack(255, r, g, b);
        return;
      }
      const int32_t keep = 255 - a;
      const int32_t alpha = Alpha(x) + a;
      *d = Pack(alpha > 255 ? 255 : alpha, Lerp(Red(x), r, keep), Lerp(Green(x), g, keep),
                Lerp(Blue(x), b, keep));
      return;
    }
    const int32_t k = AlphaWeight(w, a);
    const int32_t keep = 256 - k;
    const int32_t alpha = Alpha(x) + k;
    *d = Pack(alpha > 255 ? 255 : alpha, Lerp(Red(x), r, keep), Lerp(Green(x), g, keep),
              Lerp(Blue(x), b, keep));
  }
};

// The four bytes of *d, each rewritten by channel(destination byte, source
// byte, w).
template <int32_t (*Channel)(int32_t, int32_t, int32_t)>
inline void EachChannel(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
  const uint32_t x = *d;
  *d = Pack(Channel(Alpha(x), a, w), Channel(Red(x), r, w), Channel(Green(x), g, w),
            Channel(Blue(x), b, w));
}

inline int32_t AddChannel(int32_t x, int32_t s, int32_t w) { return Clamp(x + s * w / 256); }

struct Add {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    EachChannel<AddChannel>(d, r, g, b, a, w);
  }
};

struct AddAlpha {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    if (a == 0) return;
    EachChannel<AddChannel>(d, r, g, b, a, AlphaWeight(w, a));
  }
};

inline int32_t DodgeChannel(int32_t x, int32_t s, int32_t w) {
  const int32_t t = s * w / 256;
  if (t > 254) return Clamp(x * 256);
  return Clamp(x * 256 / (256 - t));
}

struct Dodge {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    EachChannel<DodgeChannel>(d, r, g, b, a, w);
  }
};

// A source alpha of 0 still dodges (at weight w / 256).
struct DodgeAlpha {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    EachChannel<DodgeChannel>(d, r, g, b, a, AlphaWeight(w, a));
  }
};

inline int32_t MultiplyChannel(int32_t x, int32_t s, int32_t w) {
  return ((s * w + (256 - w) * 256) * x) >> 16;
}

struct Multiply {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    EachChannel<MultiplyChannel>(d, r, g, b, a, w);
  }
};

struct MultiplyAlpha {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    if (a == 0) return;
    EachChannel<MultiplyChannel>(d, r, g, b, a, AlphaWeight(w, a));
  }
};

// Neutral at a source of 128; darkens toward x * x / 256 at 0.
inline int32_t SoftLightChannel(int32_t x, int32_t s, int32_t w) {
  const int32_t m = s * w + (256 - w) * 128;
  return Clamp(((m + (32768 - m) * x / 256) * x) >> 15);
}

struct SoftLight {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    EachChannel<SoftLightChannel>(d, r, g, b, a, w);
  }
};

struct SoftLightAlpha {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    EachChannel<SoftLightChannel>(d, r, g, b, a, AlphaWeight(w, a));
  }
};

// Hue (384 steps), saturation and value of the destination shifted by the
// source's red, green and blue; the alpha becomes the source alpha.
void HueSatValueWeighted(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w);

struct HueSatValue {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    HueSatValueWeighted(d, r, g, b, a, w);
  }
};

struct HueSatValueAlpha {
  static void Apply(uint32_t* d, int32_t r, int32_t g, int32_t b, int32_t a, int32_t w) {
    HueSatValueWeighted(d, r, g, b, a, AlphaWeight(w, a));
  }
};

}  // namespace RPixel

// Calls visitor.template operator()<Op>() with the operation type the mode
// selects among the ten forms (operation bits and RBlendUseAlpha); returns
// false, calling nothing, for any other operation value.
template <typename Visitor>
bool Raster_WithPixelOp(RBlendMode mode, Visitor&& visitor) {
  const bool useAlpha = (mode & RBlendUseAlpha) != 0;
  switch (Raster_BlendOperation(mode)) {
    case RBlend::Copy:
      useAlpha ? visitor.template operator()<RPixel::CopyAlpha>()
               : visitor.template operator()<RPixel::Copy>();
      return true;
    case RBlend::Add:
      useAlpha ? visitor.template operator()<RPixel::AddAlpha>()
               : visitor.template operator()<RPixel::Add>();
      return true;
    case RBlend::Dodge:
      useAlpha ? visitor.template operator()<RPixel::DodgeAlpha>()
               : visitor.template operator()<RPixel::Dodge>();
      return true;
    case RBlend::Multiply:
      useAlpha ? visitor.template operator()<RPixel::MultiplyAlpha>()
               : visitor.template operator()<RPixel::Multiply>();
      return true;
    case RBlend::SoftLight:
      useAlpha ? visitor.template operator()<RPixel::SoftLightAlpha>()
               : visitor.template operator()<RPixel::SoftLight>();
      return true;
    case RBlend::HueSatValue:
      useAlpha ? visitor.template operator()<RPixel::HueSatValueAlpha>()
               : visitor.template operator()<RPixel::HueSatValue>();
      return true;
    default:
      return false;
  }
}

// The operation as a function pointer (plain forms unless mode carries
// RBlendUseAlpha), or null for an operation value that draws nothing.
RPixelOp Raster_PixelOp(RBlendMode mode);
