#include "vst3/Vst3PlugView.h"

#include <cstring>

#include "framework/IEditorSeam.h"
#include "vst3/IEffectVST3.h"
#include "vst3/Vst3Controller.h"
#include "vst3/Vst3ViewDriver.h"

using namespace Steinberg;

// The view holds its controller, which owns the editor, as long as it lives.
Vst3PlugView::Vst3PlugView(Vst3Controller* owner, IEffectVST3* plugin)
    : controller(owner), effect(plugin) {
  controller->addRef();
}

Vst3PlugView::~Vst3PlugView() {
  Close();
  if (plugFrame) plugFrame->release();
  controller->ViewClosed(this);
  controller->release();
}

uint32 PLUGIN_API Vst3PlugView::release() {
  const uint32 left = refs.Drop();
  if (left == 0) delete this;
  return left;
}

tresult PLUGIN_API Vst3PlugView::queryInterface(const TUID queried, void** obj) {
  if (!obj) return kInvalidArgument;
  if (SameIid(queried, FUnknown_iid) || SameIid(queried, IPlugView_iid)) {
    *obj = static_cast<IPlugView*>(this);
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

tresult PLUGIN_API Vst3PlugView::isPlatformTypeSupported(FIDString type) {
  return type && std::strcmp(type, kVst3ViewPlatformType) == 0 ? kResultTrue : kResultFalse;
}

// As effEditOpen: the window opens under the plug-in lock, then the effect
// hears of it.
tresult PLUGIN_API Vst3PlugView::attached(void* parent, FIDString type) {
  if (open || !effect || !parent || isPlatformTypeSupported(type) != kResultTrue) {
    return kResultFalse;
  }
  IEditorSeam* editor = effect->Editor();
  if (!editor) return kResultFalse;
  driver = PrepareViewDriver();
  {
    PluginLockGuard guard(effect->Lock());
    if (!editor->OpenEditorWindow(Vst3ParentWindow(parent))) {
      StopViewDriver(driver);
      driver = nullptr;
      return kResultFalse;
    }
    effect->EditorOpened();
  }
  open = true;
  if (!StartViewDriver(driver, plugFrame, editor)) {
    Close();
    return kResultFalse;
  }
  return kResultOk;
}

tresult PLUGIN_API Vst3PlugView::removed() {
  Close();
  return kResultOk;
}

// As effEditClose, after the driver stopped calling in.
void Vst3PlugView::Close() {
  StopViewDriver(driver);
  driver = nullptr;
  if (!open || !effect) return;
  open = false;
  PluginLockGuard guard(effect->Lock());
  effect->EditorClosing();
  if (IEditorSeam* editor = effect->Editor()) editor->CloseEditorWindow();
}

tresult PLUGIN_API Vst3PlugView::onWheel(float distance) {
  if (!open || !effect || !effect->Editor()) return kResultFalse;
  return effect->Editor()->HandleHostWheel(distance) != 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API Vst3PlugView::onKeyDown(char16, int16, int16) { return kResultFalse; }
tresult PLUGIN_API Vst3PlugView::onKeyUp(char16, int16, int16) { return kResultFalse; }

tresult PLUGIN_API Vst3PlugView::getSize(ViewRect* size) {
  if (!size) return kInvalidArgument;
  const IEditorSeam* editor = effect ? effect->Editor() : nullptr;
  if (!editor) return kResultFalse;
  *size = ViewRect(0, 0, editor->Width(), editor->Height());
  return kResultOk;
}

// The panel has one size.
tresult PLUGIN_API Vst3PlugView::onSize(ViewRect* newSize) {
  return newSize ? kResultOk : kInvalidArgument;
}
tresult PLUGIN_API Vst3PlugView::onFocus(TBool) { return kResultOk; }

tresult PLUGIN_API Vst3PlugView::setFrame(IPlugFrame* frame) {
  if (frame) frame->addRef();
  if (plugFrame) plugFrame->release();
  plugFrame = frame;
  return kResultOk;
}

tresult PLUGIN_API Vst3PlugView::canResize() { return kResultFalse; }

tresult PLUGIN_API Vst3PlugView::checkSizeConstraint(ViewRect* rect) {
  if (!rect) return kInvalidArgument;
  ViewRect fixed;
  getSize(&fixed);
  rect->right = rect->left + fixed.getWidth();
  rect->bottom = rect->top + fixed.getHeight();
  return kResultTrue;
}
