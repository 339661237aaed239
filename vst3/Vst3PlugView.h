// The panel in a VST 3 host: the plug-in's own editor, 488 x 282, opened as
// a child of the host's window (an HWND on Windows, an X11 window on Linux)
// and driven by the platform's view driver. Removing it, or releasing it
// while attached, closes the window and unregisters whatever drove it.
//
// Threads: the host's main thread.
#pragma once

#include "pluginterfaces/gui/iplugview.h"
#include "vst3/Vst3Objects.h"

class IEffectVST3;
class Vst3Controller;
class Vst3ViewDriver;

class Vst3PlugView final : public Steinberg::IPlugView {
 public:
  Vst3PlugView(Vst3Controller* owner, IEffectVST3* plugin);

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return refs.Add(); }
  Steinberg::uint32 PLUGIN_API release() override;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API onWheel(float distance) override;
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                        Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API onFocus(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) override;
  Steinberg::tresult PLUGIN_API canResize() override;
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;

 private:
  ~Vst3PlugView();
  void Close();

  Vst3RefCount refs;
  Vst3Controller* controller;
  IEffectVST3* effect;
  Steinberg::IPlugFrame* plugFrame = nullptr;
  Vst3ViewDriver* driver = nullptr;
  bool open = false;
};
