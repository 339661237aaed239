#include "effect/DuoManglerEffect.h"

#include "editor/IEditor.h"
#include "editor/IPlatformEditor.h"
#include "effect/DerivedQuantities.h"
#include "effect/EditorLayout.h"
#include "effect/FactoryPrograms.h"
#include "effect/ParameterMapping.h"
#include "effect/TraceLine.h"
#include "framework/FourCharCode.h"
#include "platform/ModuleInstance.h"

namespace {

constexpr const char* kChannelConfigs = "1-1 2-2";
constexpr int32_t kProgramSlots = 25;
constexpr int32_t kVersion = 0x00010000;  // 1.0.0
constexpr int32_t kMakerId = FourCharCode('Q', 'o', 'v', 'a');
constexpr int32_t kLatency = 0;
constexpr int32_t kNoMidi = 0;

// Half the normalised range of the split frequency covers 20 to 5015 Hz.
constexpr double kSplitFreqShape = 2.0;

}  // namespace

DuoManglerEffect::DuoManglerEffect(EffectHostConnection host)
    : EffectBinding(host, kEffectParameterCount, kChannelConfigs, kProgramSlots, kDuoManglerName, "",
                    "Qovak", kVersion, kDuoManglerUniqueId, kMakerId, kLatency, kNoMidi,
                    /*usesChunks=*/false, /*isInstrument=*/false) {
  // The processor starts zeroed, coefficients not ready, by its own
  // initialisers; the parameters come next, then the programs, which capture
  // the parameters' defaults in slot 0.
  DefineParameters();
  AttachOwnEditor();
  InstallFactoryPrograms(*this);
}

void DuoManglerEffect::DefineParameters() {
  ParameterAt(kSplitFreq)->DefineInteger("Split Freq", 1000, 20, 20000, "Hz");
  ParameterAt(kSplitFreq)->SetShapeExponent(kSplitFreqShape);
  ParameterAt(kDamping)->DefineInteger("Damping", 50, 0, 100, "%");
  ParameterAt(kLowDrive)->DefineInteger("Low Drive", 50, 0, 100, "%");
  ParameterAt(kLowGain)->DefineInteger("Low Gain", 20, 0, 100, "%");
  ParameterAt(kLowRound)->DefineInteger("Low Round", 50, 0, 100, "%");
  ParameterAt(kHighDrive)->DefineInteger("High Drive", 50, 0, 100, "%");
  ParameterAt(kHighGain)->DefineInteger("High Gain", 20, 0, 100, "%");
  ParameterAt(kHighRound)->DefineInteger("High Round", 50, 0, 100, "%");
  ParameterAt(kMix)->DefineInteger("Mix", 90, 0, 100, "%");
}

void DuoManglerEffect::AttachOwnEditor() {
  if (!kBindingOpensEditor) return;
  IEditor* panel = NewPlatformEditor(this, kEditorWidth, kEditorHeight, 0, ModuleInstance());
  if (!panel) return;
  BuildEditorLayout(*panel, this);
  AttachEditor(panel);
}

void DuoManglerEffect::ApplySampleRate() {
  PluginLockGuard guard(Lock());
  processor.ApplySampleRate(SampleRate());
}

// Whether switching on starts a new stream depends on the plug-in format
// (effect/EffectBinding.h).
void DuoManglerEffect::ProcessingSwitched(bool on) {
  PluginLockGuard guard(Lock());
  if (on && kSwitchingOnStartsNewStream) processor.ClearState();
}

void DuoManglerEffect::ParameterChanged(int32_t index) {
  PluginLockGuard guard(Lock());
  const IParameter* parameter = ParameterAt(index);
  if (parameter == nullptr) return;
  ApplyParameterToProcessor(index, parameter->value, processor);
  TraceValues("round_low, round_high", static_cast<double>(processor.low.round),
              static_cast<double>(processor.high.round));
}

// The base calls this with the plug-in lock held.
void DuoManglerEffect::ProcessBlock(double** inputs, double** outputs, int32_t frames) {
  processor.ProcessBlock(inputs, outputs, frames);
}
