// EffectBinding, the layer the effect derives from: a format binding on top
// of the plug-in base. It answers the host and reaches the host for the
// effect; the effect class only adds its parameters, processing, programs
// and editor.
//
// The binding is chosen here, at compile time: the effect's class is compiled
// once per plug-in format (effect/CMakeLists.txt), each build defining which
// binding it derives from. Keeping the inheritance chain as it is (effect on
// binding on base) leaves every existing call path untouched; the only
// difference between the formats is what the host hands the constructor.
// The two builds define the same class on different bases, so a program links
// exactly one of them (each plug-in binary, test and benchmark does).
#pragma once

#if defined(DM_BINDING_LV2)

#include "lv2/IEffectLV2.h"

using EffectBinding = IEffectLV2;
// The host's feature list from instantiate().
using EffectHostConnection = const LV2_Feature* const*;
// activate() starts a new stream, which must carry none of the previous one's
// history.
inline constexpr bool kSwitchingOnStartsNewStream = true;
// Hosts draw their own controls for the control ports: no editor window.
inline constexpr bool kBindingOpensEditor = false;

#elif defined(DM_BINDING_VST3)

#include "vst3/IEffectVST3.h"

using EffectBinding = IEffectVST3;
// Where the panel's edits go: the edit controller, or null for the audio
// processor's instance.
using EffectHostConnection = IVst3EditSink*;
// Hosts deactivate and activate around settings changes, as VST 2 hosts
// suspend and resume: the sound carries on.
inline constexpr bool kSwitchingOnStartsNewStream = false;
// The edit controller's instance opens the panel in the host's window.
inline constexpr bool kBindingOpensEditor = true;

#elif defined(DM_BINDING_WEB)

#include "web/IEffectWeb.h"

using EffectBinding = IEffectWeb;
// The page that shows the plug-in, or null for the instance on the audio
// thread, which nobody edits.
using EffectHostConnection = IWebHost*;
// A new page starts a new stream.
inline constexpr bool kSwitchingOnStartsNewStream = true;
// The page's panel module has one; the audio module's factory makes none.
inline constexpr bool kBindingOpensEditor = true;

#else

#include "vst/IEffectVST.h"

using EffectBinding = IEffectVST;
// The host's callback from the module's entry point.
using EffectHostConnection = audioMasterCallback;
// Hosts suspend and resume around settings changes and expect the sound to
// carry on: resuming keeps the filter and smoothing states.
inline constexpr bool kSwitchingOnStartsNewStream = false;
// effEditOpen opens the effect's own panel.
inline constexpr bool kBindingOpensEditor = true;

#endif
