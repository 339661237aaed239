#include "editor/IEditor.h"

#include <new>

#include "editor/IBackBuffer.h"
#include "editor/IBitmapCache.h"
#include "editor/IControl.h"
#include "editor/IFrameControl.h"
#include "framework/IEffectBase.h"
#include "raster/RBitmap.h"
#include "raster/RBlit.h"
#include "raster/RMemBitmap.h"

namespace {

// Changes to the control list happen under the plug-in lock, which host
// threads hold while they walk it (ShowParameterValue).
class ListGuard {
 public:
  explicit ListGuard(IEffectBase* plugin) : held(plugin ? &plugin->Lock() : nullptr) {
    if (held) held->Enter();
  }
  ~ListGuard() {
    if (held) held->Leave();
  }
  ListGuard(const ListGuard&) = delete;
  ListGuard& operator=(const ListGuard&) = delete;

 private:
  PluginLock* held;
};

}  // namespace

IEditor::IEditor(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond)
    : plugin(owner),
      width(w),
      height(h),
      fps(framesPerSecond > 0 ? framesPerSecond : kDefaultFramesPerSecond) {}

IEditor::~IEditor() {
  controls.DeleteAll();
  delete backBuffer;
  backBuffer = nullptr;
}

void IEditor::SetSize(int32_t w, int32_t h) {
  width = w;
  height = h;
  ReleaseCapture();
  {
    ListGuard guard(plugin);
    controls.DeleteAll();
  }
  if (plugin) plugin->EditorResized(w, h);
}

int32_t IEditor::AddControl(IControl* control) {
  ListGuard guard(plugin);
  if (!controls.Append(control)) return -1;
  return controls.Count() - 1;
}

void IEditor::SetBackground(int32_t id, const char* name) {
  const IBitmapStrip strip = GetBitmap(id, name, 1);
  auto* background = new (std::nothrow) IFrameControl(plugin, {0, 0, strip.W, strip.H}, strip);
  if (!background) return;
  background->blend = {IBlendSpec::BlendOverwrite, 1.0f};
  ListGuard guard(plugin);
  controls.InsertAt(0, background);
}

void IEditor::MarkAllControlsChanged() {
  for (int32_t i = 0; i < controls.Count(); ++i) controls.At(i)->MarkChanged(false);
}

namespace {

struct ResourceRequest {
  IEditor* editor;
  int32_t id;
  const char* name;
};

struct CopyRequest {
  RBitmap* source;
  IBounds area;
};

}  // namespace

IBitmapStrip IEditor::GetBitmap(int32_t id, const char* name, int32_t frames) {
  ResourceRequest request{this, id, name};
  RBitmap* bitmap = IBitmapCache::FindOrLoad(
      id,
      [](void* context) {
        auto* r = static_cast<ResourceRequest*>(context);
        return r->editor->LoadBitmapResource(r->id, r->name);
      },
      &request);
  if (!bitmap) return {nullptr, 0, 0, frames};
  return {bitmap, bitmap->Width(), bitmap->Height(), frames};
}

IBitmapStrip IEditor::CopyBitmapRegion(const IBitmapStrip& strip, const IBounds& area) {
  if (!strip.bitmap || area.Width() <= 0 || area.Height() <= 0) {
    return {nullptr, 0, 0, strip.frames};
  }
  CopyRequest request{strip.bitmap, area};
  RBitmap* copy = IBitmapCache::FindOrCopy(
      strip.bitmap, area,
      [](void* context) -> RBitmap* {
        auto* r = static_cast<CopyRequest*>(context);
        auto* made = new (std::nothrow) RMemBitmap(r->area.Width(), r->area.Height(), 4);
        if (!made) return nullptr;
        Raster_BlitRect(made, r->source, 0, 0, r->area.L, r->area.T, r->area.Width(),
                        r->area.Height(), 1.0f, RBlend::Copy);
        return made;
      },
      &request);
  if (!copy) return {nullptr, 0, 0, strip.frames};
  return {copy, copy->Width(), copy->Height(), strip.frames};
}

void IEditor::ShowParameterValue(int32_t paramIdx, double value, bool isNormalised) {
  if (!isNormalised) {
    const IParameter* parameter = plugin ? plugin->ParameterAt(paramIdx) : nullptr;
    if (!parameter) return;
    value = parameter->NormalizedOf(value);
  }
  bool posted = false;
  for (int32_t i = 0; i < controls.Count(); ++i) {
    IControl* control = controls.At(i);
    if (control->paramIdx != paramIdx) continue;
    control->PostHostValue(value);
    posted = true;
  }
  if (posted) hostValuesPosted.store(true, std::memory_order_release);
}

void IEditor::TakeHostValues() {
  if (!hostValuesPosted.exchange(false, std::memory_order_acquire)) return;
  for (int32_t i = 0; i < controls.Count(); ++i) controls.At(i)->TakePostedHostValue();
}

bool IEditor::CollectChangedArea(IBounds& area) {
  TakeHostValues();
  bool any = false;
  for (int32_t i = 0; i < controls.Count(); ++i) {
    IControl* control = controls.At(i);
    if (!control->NeedsPaint()) continue;
    area = area.Union(control->PaintArea());
    any = true;
  }
  return any;
}

bool IEditor::PaintInvalid(const IBounds& area) {
  if (controls.Count() == 0) return true;
  TakeHostValues();
  drawRect = area;
  for (int32_t i = 0; i < controls.Count(); ++i) {
    IControl* control = controls.At(i);
    if (!control->hidden && control->PaintArea().Overlaps(area)) control->Paint(*this);
    control->MarkPainted();
  }
  return Present(area);
}

void IEditor::CreateBackBuffer() {
  delete backBuffer;
  backBuffer = NewBackBuffer(width, height);
}
