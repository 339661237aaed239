// The page's audio module (duoMangler-audio.wasm): the plug-in without an
// editor, made and run inside the page's AudioWorklet. The worklet writes
// each render quantum into the input buffers, calls dm_audio_process and
// reads the outputs; changes from the panel arrive between quanta. Nothing
// here allocates after dm_audio_open.
#include <emscripten/emscripten.h>

#include <new>

#include "editor/IPlatformEditor.h"
#include "effect/DuoManglerEffect.h"

namespace {

DuoManglerEffect* plugin = nullptr;

}  // namespace

// Nobody sees the worklet's instance.
IEditor* NewPlatformEditor(IEffectBase*, int32_t, int32_t, int32_t, void*) { return nullptr; }

extern "C" {

// Makes the plug-in at the audio graph's rate; 0 when that failed.
EMSCRIPTEN_KEEPALIVE int32_t dm_audio_open(double sampleRate) {
  if (!plugin) plugin = new (std::nothrow) DuoManglerEffect(nullptr);
  if (!plugin) return 0;
  plugin->Prepare(sampleRate);
  return 1;
}

// Channel 0 left, 1 right; IEffectWeb::kMaxFrames floats each.
EMSCRIPTEN_KEEPALIVE float* dm_audio_input(int32_t channel) { return plugin->InputBuffer(channel); }
EMSCRIPTEN_KEEPALIVE float* dm_audio_output(int32_t channel) {
  return plugin->OutputBuffer(channel);
}
EMSCRIPTEN_KEEPALIVE int32_t dm_audio_max_frames() { return IEffectWeb::kMaxFrames; }
EMSCRIPTEN_KEEPALIVE void dm_audio_process(int32_t frames) { plugin->Process(frames); }

EMSCRIPTEN_KEEPALIVE void dm_audio_set_parameter(int32_t index, double value) {
  plugin->SetParameterValue(index, value);
}
EMSCRIPTEN_KEEPALIVE void dm_audio_select_program(int32_t index) { plugin->SelectProgram(index); }

}  // extern "C"
