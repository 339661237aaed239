// The effect's editor: a 488 x 282 panel with the title plate as a link, six
// band knobs, the Split Freq knob and the Damping and Mix sliders, drawn from
// the module's four images. Pure data; the framework draws and handles input.
#pragma once

#include <cstdint>

class IEditor;
class IEffectBase;

inline constexpr int32_t kEditorWidth = 488;
inline constexpr int32_t kEditorHeight = 282;

// The addresses behind the title plate: the maker's page for its plug-ins,
// and its main page when that fails. Placeholders under a reserved example
// domain until the product has pages of its own.
inline constexpr const char* kPluginsPage = "https://qovak.example/plugins/duomangler";
inline constexpr const char* kMakerPage = "https://qovak.example/";

// Adds the background and the controls to the editor, in painting order.
// [constructing thread, before the editor is attached]
void BuildEditorLayout(IEditor& editor, IEffectBase* plugin);
