#include "web/IEditorWeb.h"

#include <algorithm>
#include <cstring>

#include "editor/IControl.h"
#include "editor/IWindowInput.h"
#include "framework/IEffectBase.h"
#include "framework/IGrowableBuffer.h"
#include "framework/IParameter.h"
#include "raster/RBitmap.h"
#include "raster/RPngLoader.h"
#include "web/WebPage.h"
#include "web/WebResources.h"

namespace {

void EmptyText(IGrowableBuffer& text) {
  text.Resize(0, false);
  text.Append("", 1);
}

}  // namespace

IEditorWeb::IEditorWeb(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond)
    : IEditor(owner, w, h, framesPerSecond),
      rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0) {}

IEditorWeb::~IEditorWeb() { CloseEditorWindow(); }

void* IEditorWeb::OpenEditorWindow(void* /*parentWindow*/) {
  open = true;
  MarkAllControlsChanged();
  return this;
}

void IEditorWeb::CloseEditorWindow() {
  if (!open) return;
  if (endEditCountdown != 0 && plugin) plugin->FlushDeferredEndOfEdit();
  endEditCountdown = 0;
  CloseEntry();
  open = false;
  pressForwarded = false;
  wheel.Reset();
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

void IEditorWeb::HostFolder(IGrowableBuffer& text) { EmptyText(text); }

void IEditorWeb::ModuleFolder(IGrowableBuffer& text) { EmptyText(text); }

bool IEditorWeb::OpenWebPage(const char* address, const char*, const char*, const char*) {
  return address && *address && dm_page_open_link(address) != 0;
}

RBitmap* IEditorWeb::LoadBitmapResource(int32_t /*id*/, const char* name) {
  const WebResource* file = name ? FindWebResource(name) : nullptr;
  return file ? Raster_LoadPngMemory(file->data, file->size) : nullptr;
}

void IEditorWeb::Tick() {
  if (!open) return;
  IBounds area;
  if (CollectChangedArea(area)) PaintInvalid(area);
  if (endEditCountdown != 0 && --endEditCountdown == 0 && plugin) plugin->FlushDeferredEndOfEdit();
}

void IEditorWeb::ButtonPressed(int32_t x, int32_t y, uint32_t flags, bool alt) {
  pressForwarded = true;
  HandleMousePress(x, y, MouseKeysFromFlags(flags, alt));
}

void IEditorWeb::ButtonReleased(int32_t x, int32_t y, uint32_t flags, bool alt) {
  if (!pressForwarded) return;
  pressForwarded = false;
  HandleMouseRelease(x, y, MouseKeysFromFlags(flags, alt));
}

void IEditorWeb::DoubleClicked(int32_t x, int32_t y, uint32_t flags, bool alt) {
  HandleDoubleClick(x, y, MouseKeysFromFlags(flags, alt));
  pressForwarded = true;  // a begun edit ends with the release
}

void IEditorWeb::MouseMoved(int32_t x, int32_t y, uint32_t flags, bool alt) {
  if (pressForwarded) HandleMouseDrag(x, y, MouseKeysFromFlags(flags, alt));
}

void IEditorWeb::WheelTurned(int32_t x, int32_t y, int32_t delta, uint32_t flags, bool alt) {
  const int32_t notches = wheel.Add(delta);
  if (notches != 0) HandleWheel(x, y, MouseKeysFromFlags(flags, alt), notches);
}

void IEditorWeb::KeyPressed(int32_t x, int32_t y, int32_t virtualKey) {
  const int32_t code = EditorKeyCode(virtualKey);
  if (code >= 0) HandleKey(x, y, code);
}

void IEditorWeb::EditParameterText(IControl* control, IParameter* parameter) {
  if (!control || !parameter || entryControl || !open) return;
  char current[64];
  control->ValueText(current, sizeof current, false);
  const IBounds area = ParameterEntryArea(*control, *parameter);
  entryControl = control;
  entryParam = parameter;
  dm_page_open_entry(area.L, area.T, area.Width(), area.Height(), current);
}

void IEditorWeb::CommitEntry(const char* text) {
  if (!entryControl) return;
  CommitTypedText(entryControl, entryParam, text ? text : "");
  CloseEntry();
}

void IEditorWeb::CancelEntry() { CloseEntry(); }

void IEditorWeb::CloseEntry() {
  if (!entryControl) return;
  IControl* control = entryControl;
  entryControl = nullptr;
  entryParam = nullptr;
  control->EndTextEntry();
  dm_page_close_entry();
}
