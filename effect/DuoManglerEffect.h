// duoMangler: a stereo two-band saturation effect. The effect declares its
// identity and nine integer parameters to the plug-in framework, turns each
// parameter change into the processor's quantities and runs the processor on
// the framework's double-precision blocks.
#pragma once

#include <cstdint>

#include "effect/EffectBinding.h"
#include "effect/TwoBandProcessor.h"
#include "framework/FourCharCode.h"

// The plug-in's name and VST 2 unique ID, which every format's identity
// derives from.
inline constexpr const char* kDuoManglerName = "duoMangler";
inline constexpr int32_t kDuoManglerUniqueId = FourCharCode('p', 'l', '6', 'e');

class DuoManglerEffect : public EffectBinding {
 public:
  explicit DuoManglerEffect(EffectHostConnection host);
  ~DuoManglerEffect() override = default;

  void ApplySampleRate() override;
  void ProcessingSwitched(bool on) override;
  void ParameterChanged(int32_t index) override;
  void ProcessBlock(double** inputs, double** outputs, int32_t frames) override;

  // The processor's fields, for inspection.
  const TwoBandProcessor& Processor() const { return processor; }

 private:
  void DefineParameters();
  // Builds the editor and hands it to the plug-in, where the platform has
  // an editor window.
  void AttachOwnEditor();

  TwoBandProcessor processor;
};

// The class the plug-in factory constructs.
using VSTCLASS = DuoManglerEffect;
