#include "web/IEditorWeb.h"

#include "editor/IControl.h"
#include "editor/IEmbeddedFiles.h"
#include "framework/IParameter.h"
#include "raster/RBitmap.h"
#include "raster/RPngLoader.h"
#include "web/WebPage.h"

IEditorWeb::IEditorWeb(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond)
    : IEditorWindow(owner, w, h, framesPerSecond),
      rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0) {}

IEditorWeb::~IEditorWeb() { CloseEditorWindow(); }

void* IEditorWeb::OpenEditorWindow(const IParentWindow& /*parent*/) {
  open = true;
  MarkAllControlsChanged();
  return this;
}

void IEditorWeb::CloseEditorWindow() {
  if (!open) return;
  CloseWindowHalf();
  open = false;
}

// Pixel words 0xAARRGGBB become the canvas's R, G, B, A bytes. The panel is
// opaque; its background is drawn without blending.
bool IEditorWeb::Present(const IBounds& area) {
  const IBounds clipped = area.Intersection(IBounds{0, 0, width, height});
  if (!backBuffer || !backBuffer->Pixels() || clipped.Width() <= 0) return true;
  const uint32_t* pixels = backBuffer->Pixels();
  const int32_t span = backBuffer->RowSpan();
  for (int32_t y = clipped.T; y < clipped.B; ++y) {
    const uint32_t* source = pixels + static_cast<size_t>(y) * span;
    uint8_t* out = rgba.data() + (static_cast<size_t>(y) * width + clipped.L) * 4;
    for (int32_t x = clipped.L; x < clipped.R; ++x, out += 4) {
      const uint32_t p = source[x];
      out[0] = static_cast<uint8_t>(p >> 16);
      out[1] = static_cast<uint8_t>(p >> 8);
      out[2] = static_cast<uint8_t>(p);
      out[3] = 255;
    }
  }
  presented = presented.Union(clipped);
  return true;
}

IBounds IEditorWeb::TakePresentedArea() {
  const IBounds area = presented;
  presented = IBounds{};
  return area;
}

bool IEditorWeb::OpenWebPage(const char* address, const char*, const char*, const char*) {
  return address && *address && dm_page_open_link(address) != 0;
}

RBitmap* IEditorWeb::LoadBitmapResource(int32_t /*id*/, const char* name) {
  const IEmbeddedFile* file = name ? FindEmbeddedFile(name) : nullptr;
  return file ? Raster_LoadPngMemory(file->data, file->size) : nullptr;
}

void IEditorWeb::RepaintArea(const IBounds& changed) {
  if (!changed.IsEmpty()) PaintInvalid(changed);
}

void IEditorWeb::ButtonPressed(int32_t x, int32_t y, bool rightButton, uint32_t keys) {
  if (!EntryTakesPress(rightButton)) ForwardPress(x, y, IMouseKeys::FromBits(keys));
}

void IEditorWeb::ButtonReleased(int32_t x, int32_t y, uint32_t keys) {
  ForwardRelease(x, y, IMouseKeys::FromBits(keys));
}

void IEditorWeb::DoubleClicked(int32_t x, int32_t y, uint32_t keys) {
  if (!EntryTakesPress(false)) ForwardDoubleClick(x, y, IMouseKeys::FromBits(keys));
}

void IEditorWeb::MouseMoved(int32_t x, int32_t y, uint32_t keys) {
  ForwardDrag(x, y, IMouseKeys::FromBits(keys));
}

void IEditorWeb::WheelTurned(int32_t x, int32_t y, int32_t delta, uint32_t keys) {
  ForwardWheel(x, y, IMouseKeys::FromBits(keys), delta);
}

void IEditorWeb::KeyPressed(int32_t x, int32_t y, int32_t code) {
  if (code >= 0) HandleKey(x, y, code);
}

void IEditorWeb::EditParameterText(IControl* control, IParameter* parameter) {
  if (!control || !parameter || entry.IsOpen() || !open) return;
  char current[64];
  control->ValueText(current, sizeof current, false);
  const IBounds area = ParameterEntryArea(*control, *parameter);
  EntryOpened(control, parameter);
  dm_page_open_entry(area.L, area.T, area.Width(), area.Height(), current);
}

void IEditorWeb::ReadEntryText(char* text, int32_t capacity) {
  text[0] = '\0';
  dm_page_read_entry(text, capacity);
}

void IEditorWeb::CloseNativeEntry() { dm_page_close_entry(); }
