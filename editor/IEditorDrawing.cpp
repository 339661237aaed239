// The drawing operations the controls paint with, all into the back buffer.
#include "editor/IEditor.h"
#include "platform/SaturatingConversions.h"
#include "raster/RArc.h"
#include "raster/RBitmap.h"
#include "raster/RBlit.h"
#include "raster/RBlitTransformed.h"
#include "raster/RFill.h"

bool IEditor::BlitBitmap(const IBitmapStrip& strip, const IBounds& dest, int32_t srcX, int32_t srcY,
                         const IBlendSpec* blend) {
  const IBounds clip = dest.Intersection(drawRect);
  if (!backBuffer || !strip.bitmap || clip.IsEmpty()) return true;
  Raster_BlitRect(backBuffer, strip.bitmap, clip.L, clip.T, srcX + clip.L - dest.L,
                  srcY + clip.T - dest.T, clip.Width(), clip.Height(), BlendWeightOf(blend),
                  BlendModeOf(blend));
  return true;
}

bool IEditor::BlitBitmapFrame(const IBitmapStrip& strip, const IBounds& dest, int32_t frame,
                              const IBlendSpec* blend, bool vertical) {
  int32_t offset = 0;
  if (strip.frames >= 2 && frame >= 2) {
    const double size = vertical ? strip.H : strip.W;
    offset = TruncateToInt32(size * (frame - 1) / strip.frames + 0.5);
  }
  return vertical ? BlitBitmap(strip, dest, 0, offset, blend)
                  : BlitBitmap(strip, dest, offset, 0, blend);
}

bool IEditor::BlitRotated(const IBitmapStrip& strip, int32_t x, int32_t y, double angle,
                          const IBlendSpec* blend, float srcX, float srcY) {
  if (!backBuffer || !strip.bitmap) return true;
  Raster_BlitTransformed(backBuffer, strip.bitmap, x - strip.W / 2, y - strip.H / 2, strip.W,
                         strip.H, srcX, srcY, static_cast<float>(strip.W),
                         static_cast<float>(strip.H), static_cast<float>(angle), false,
                         BlendWeightOf(blend), BlendModeOf(blend) | RBlendBilinear, 0.0f, 0.0f);
  return true;
}

bool IEditor::StrokeArc(const IRgba& colour, float cx, float cy, float r, float fromAngle,
                        float toAngle, const IBlendSpec* blend, bool antialias) {
  if (!backBuffer) return true;
  Raster_DrawArc(backBuffer, cx, cy, r, fromAngle, toAngle, colour.Packed(),
                 static_cast<float>(colour.A) / 255.0f, BlendModeOf(blend), antialias);
  return true;
}

bool IEditor::PaintRect(const IRgba& colour, const IBounds& area, const IBlendSpec* blend) {
  if (!backBuffer) return true;
  Raster_FillRect(backBuffer, area.L, area.T, area.Width(), area.Height(), colour.Packed(),
                  BlendWeightOf(blend), BlendModeOf(blend));
  return true;
}
