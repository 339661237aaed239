// The page's panel module (duoMangler-panel.wasm): the plug-in with its
// editor on the page's thread. The page's script calls these functions and
// shows the editor's image on its canvas; the sound is made by the audio
// module in the page's AudioWorklet, which hears every edit made here.
#include <emscripten/emscripten.h>

#include <new>

#include "editor/IControl.h"
#include "editor/IEmbeddedFiles.h"
#include "editor/ILinkControl.h"
#include "editor/IPlatformEditor.h"
#include "effect/DuoManglerEffect.h"
#include "raster/RBundledFonts.h"
#include "web/IEditorWeb.h"
#include "web/WebPage.h"

namespace {

class PageHost final : public IWebHost {
 public:
  void ParameterEdited(int32_t index, double value) override {
    dm_page_parameter_edited(index, value);
  }
};

// Every text is drawn with the font the module carries: the layout's
// "Arial" is out of a page's reach, Liberation Sans has its metrics.
constexpr const char* kFontFile = "LiberationSans-Regular.ttf";
constexpr const char* kFontFamily = "Liberation Sans";

PageHost pageHost;
DuoManglerEffect* plugin = nullptr;
IEditorWeb* panel = nullptr;
int32_t presentedArea[4] = {};
int32_t linkArea[4] = {};

}  // namespace

IEditor* NewPlatformEditor(IEffectBase* owner, int32_t width, int32_t height, int32_t fps, void*) {
  panel = new (std::nothrow) IEditorWeb(owner, width, height, fps);
  return panel;
}

extern "C" {

// Makes the plug-in and opens its panel; 0 when that failed.
EMSCRIPTEN_KEEPALIVE int32_t dm_panel_open(double sampleRate) {
  if (plugin) return panel != nullptr;
  if (const IEmbeddedFile* font = FindEmbeddedFile(kFontFile))
    Raster_BundledFontSystem().AddFace(kFontFamily, font->data, font->size);
  plugin = new (std::nothrow) DuoManglerEffect(&pageHost);
  if (!plugin || !panel) return 0;
  plugin->Prepare(sampleRate);
  panel->OpenEditorWindow(IParentWindow::WebPage());
  return 1;
}

EMSCRIPTEN_KEEPALIVE int32_t dm_panel_width() { return panel->Width(); }
EMSCRIPTEN_KEEPALIVE int32_t dm_panel_height() { return panel->Height(); }
EMSCRIPTEN_KEEPALIVE const uint8_t* dm_panel_pixels() { return panel->Rgba(); }

// One repaint tick; the area of the image that changed is then at
// dm_panel_presented_area() (left, top, right, bottom). 0 when none did.
EMSCRIPTEN_KEEPALIVE int32_t dm_panel_tick() {
  panel->Tick();
  const IBounds area = panel->TakePresentedArea();
  presentedArea[0] = area.L;
  presentedArea[1] = area.T;
  presentedArea[2] = area.R;
  presentedArea[3] = area.B;
  return area.Width() > 0 ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE const int32_t* dm_panel_presented_area() { return presentedArea; }
// Every control changed: the next tick paints the whole panel.
EMSCRIPTEN_KEEPALIVE void dm_panel_mark_all() { panel->MarkAllControlsChanged(); }

// Mouse and keys: keys are IMouseKeys bits (left 1, right 2, shift 4,
// control 8, alt 16), code an editor key code (editor/IKeyCodes.h).
EMSCRIPTEN_KEEPALIVE void dm_panel_press(int32_t x, int32_t y, int32_t right, uint32_t keys) {
  panel->ButtonPressed(x, y, right != 0, keys);
}
EMSCRIPTEN_KEEPALIVE void dm_panel_release(int32_t x, int32_t y, uint32_t keys) {
  panel->ButtonReleased(x, y, keys);
}
EMSCRIPTEN_KEEPALIVE void dm_panel_double_click(int32_t x, int32_t y, uint32_t keys) {
  panel->DoubleClicked(x, y, keys);
}
EMSCRIPTEN_KEEPALIVE void dm_panel_move(int32_t x, int32_t y, uint32_t keys) {
  panel->MouseMoved(x, y, keys);
}
EMSCRIPTEN_KEEPALIVE void dm_panel_wheel(int32_t x, int32_t y, int32_t delta, uint32_t keys) {
  panel->WheelTurned(x, y, delta, keys);
}
EMSCRIPTEN_KEEPALIVE void dm_panel_key(int32_t x, int32_t y, int32_t code) {
  panel->KeyPressed(x, y, code);
}

// The parameter entry: Enter commits the typed text at the next tick (the
// panel reads it with dm_page_read_entry), Escape cancels.
EMSCRIPTEN_KEEPALIVE void dm_panel_commit_entry() { panel->CommitEntry(); }
EMSCRIPTEN_KEEPALIVE void dm_panel_cancel_entry() { panel->CancelEntry(); }

// Programs: the slots that hold one, by name.
EMSCRIPTEN_KEEPALIVE int32_t dm_panel_program_count() {
  int32_t count = 0;
  while (plugin->PresetAt(count) && plugin->PresetAt(count)->initialized) ++count;
  return count;
}
EMSCRIPTEN_KEEPALIVE const char* dm_panel_program_name(int32_t index) {
  return plugin->PresetName(index);
}
EMSCRIPTEN_KEEPALIVE int32_t dm_panel_current_program() { return plugin->CurrentPresetIndex(); }
EMSCRIPTEN_KEEPALIVE void dm_panel_select_program(int32_t index) { plugin->SelectProgram(index); }

// Parameters: values in their own units.
EMSCRIPTEN_KEEPALIVE int32_t dm_panel_parameter_count() { return plugin->ParameterCount(); }
EMSCRIPTEN_KEEPALIVE double dm_panel_parameter_value(int32_t index) {
  const IParameter* parameter = plugin->ParameterAt(index);
  return parameter ? parameter->value : 0.0;
}

// The first link on the panel: its address, its rectangle then at
// dm_panel_link_area() (left, top, right, bottom); null when the panel has
// none.
EMSCRIPTEN_KEEPALIVE const char* dm_panel_link() {
  for (int32_t i = 0; i < panel->ControlCount(); ++i) {
    const auto* link = dynamic_cast<const ILinkControl*>(panel->ControlAt(i));
    if (!link) continue;
    linkArea[0] = link->rect.L;
    linkArea[1] = link->rect.T;
    linkArea[2] = link->rect.R;
    linkArea[3] = link->rect.B;
    return link->address;
  }
  return nullptr;
}
EMSCRIPTEN_KEEPALIVE const int32_t* dm_panel_link_area() { return linkArea; }

}  // extern "C"
