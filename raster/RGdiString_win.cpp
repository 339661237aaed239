#include "raster/RBlit.h"
#include "raster/RGdiText.h"
#include "raster/RUtf8.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kAlignBits = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
constexpr int32_t kStackWideChars = 1024;
// Longer texts go to the heap, with some room to spare.
constexpr int32_t kMaxStackConversion = 999;
constexpr int32_t kHeapSpare = 32;

COLORREF GdiColour(uint32_t pixel) {
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// The text as GDI takes it: UTF-16 when it holds multi-byte sequences and
// converts cleanly, else its bytes as they are.
class GdiText {
 public:
  GdiText(const char* text, int32_t length) : bytes(text) {
    byteCount = length > 0 ? length : static_cast<int32_t>(std::strlen(text));
    if (Raster_HasUtf8Sequences(text, static_cast<size_t>(byteCount))) Convert();
  }

  int Draw(HDC dc, RECT* rect, UINT format) const {
    return wide ? DrawTextW(dc, wide, wideCount, rect, format)
                : DrawTextA(dc, bytes, byteCount, rect, format);
  }

 private:
  // The count is asked first and the buffer's capacity passed, so no text
  // is too long for the buffer it lands in.
  void Convert() {
    const int count =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteCount, nullptr, 0);
    if (count <= 0) return;
    wchar_t* buffer = onStack;
    int capacity = kStackWideChars;
    if (count > kMaxStackConversion) {
      onHeap.resize(static_cast<size_t>(count) + kHeapSpare);
      buffer = onHeap.data();
      capacity = static_cast<int>(onHeap.size());
    }
    const int converted =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteCount, buffer, capacity);
    if (converted <= 0) return;
    wide = buffer;
    wideCount = converted;
  }

  const char* bytes;
  int32_t byteCount = 0;
  const wchar_t* wide = nullptr;
  int wideCount = 0;
  wchar_t onStack[kStackWideChars];
  std::vector<wchar_t> onHeap;
};

// Selects the font into dc for the lifetime of the object.
class SelectedFont {
 public:
  SelectedFont(HDC target, HFONT font) : dc(target), previous(SelectObject(target, font)) {}
  ~SelectedFont() { SelectObject(dc, previous); }

 private:
  HDC dc;
  HGDIOBJ previous;
};

int DrawInto(HDC dc, const RStringJob& job, const GdiText& text, RECT* rect, UINT format) {
  SetTextColor(dc, GdiColour(job.textColour));
  SetBkMode(dc, job.backgroundMode);
  if (job.backgroundMode == OPAQUE) SetBkColor(dc, GdiColour(job.backgroundColour));
  return text.Draw(dc, rect, format | DT_NOPREFIX);
}

int32_t DrawIntoTargetDc(HDC dc, const RStringJob& job, const GdiText& text) {
  SelectedFont selected(dc, reinterpret_cast<HFONT>(job.font));
  RECT rect = {job.rect->left, job.rect->top, job.rect->right, job.rect->bottom};
  const int height = DrawInto(dc, job, text, &rect, job.flags);
  GdiFlush();
  if (job.flags & DT_CALCRECT) *job.rect = {rect.left, rect.top, rect.right, rect.bottom};
  return height;
}

// Where the measured text lands in the rectangle; 64 bits, so no rectangle
// can overflow it.
int64_t Aligned(int64_t low, int64_t high, int64_t size, bool toEnd, bool centred) {
  if (toEnd) return high - size;
  if (centred) return (low + high - size) / 2;
  return low;
}

// The target has no DC: the text is drawn over a copy of the target's
// pixels in textScratch and the result blended back.
int32_t DrawThroughScratch(const RStringJob& job, const GdiText& text) {
  HFONT font = reinterpret_cast<HFONT>(job.font);
  RSysBitmap* scratch = &Raster_TextScratch(4, 4);
  HDC dc = scratch->DeviceContext();
  if (!dc) return 0;
  SelectedFont selected(dc, font);
  RECT measured = {0, 0, 0, 0};
  const int height = text.Draw(dc, &measured, (job.flags & ~0xFu) | DT_CALCRECT | DT_NOPREFIX);
  const int32_t width = measured.right, tall = measured.bottom;
  RRect& rect = *job.rect;
  if (job.flags & DT_CALCRECT) {
    rect.right = rect.left + width;
    rect.bottom = rect.top + tall;
    return height;
  }

  const int64_t x =
      Aligned(rect.left, rect.right, width, job.flags & DT_RIGHT, job.flags & DT_CENTER);
  const int64_t y =
      Aligned(rect.top, rect.bottom, tall, job.flags & DT_BOTTOM, job.flags & DT_VCENTER);
  const auto within = [](int64_t v, int32_t limit) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, limit));
  };
  const int32_t bitmapWidth = std::max(job.bitmap->Width(), 0);
  const int32_t bitmapHeight = std::max(job.bitmap->Height(), 0);
  RRect box = {within(x, bitmapWidth), within(y, bitmapHeight), within(x + width, bitmapWidth),
               within(y + tall, bitmapHeight)};
  if (!(job.flags & DT_NOCLIP)) {
    box.left = std::max(box.left, std::max(rect.left, 0));
    box.top = std::max(box.top, std::max(rect.top, 0));
    box.right = std::min(box.right, rect.right);
    box.bottom = std::min(box.bottom, rect.bottom);
  }
  if (box.right <= box.left || box.bottom <= box.top) return 0;

  // Less than the text's size, as the box is not empty.
  const int32_t cutLeft = static_cast<int32_t>(box.left - x);
  const int32_t cutTop = static_cast<int32_t>(box.top - y);
  const int32_t overhang = std::min(box.left, job.lineHeight < 16 ? 2 : job.lineHeight / 16 + 2);
  box.left -= overhang;
  const int32_t boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
  if (scratch->Width() < boxWidth || scratch->Height() < boxHeight) {
    scratch = &Raster_TextScratch(boxWidth, boxHeight);
    SelectObject(dc, font);
  }
  Raster_Blit(scratch, job.bitmap, 0, 0, &box, 1.0f, RBlend::Copy);
  RECT place = {overhang - cutLeft, -cutTop, overhang - cutLeft + width, -cutTop + tall};
  const int drawn = DrawInto(dc, job, text, &place, job.flags & ~kAlignBits);
  GdiFlush();
  Raster_BlitRect(job.bitmap, scratch, box.left, box.top, 0, 0, boxWidth, boxHeight, job.opacity,
                  RBlend::Copy);
  return drawn;
}

}  // namespace

int32_t Raster_DrawGdiString(const RStringJob& job) {
  if (!job.font || !job.text || !job.rect) return 0;
  const GdiText text(job.text, job.length);
  HDC target = job.bitmap ? job.bitmap->DeviceContext() : nullptr;
  return target ? DrawIntoTargetDc(target, job, text) : DrawThroughScratch(job, text);
}
