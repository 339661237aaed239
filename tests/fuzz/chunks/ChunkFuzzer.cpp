// Feeds arbitrary bytes to the effect as program and bank chunks, through the
// effect record's dispatcher as a host would, and checks that the plug-in
// stays sound: values in range, slots intact, and its state can always be
// saved and restored to the same bytes.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/fuzz/chunks/ChunkInput.h"

namespace {

[[noreturn]] void Fail(const char* what, int32_t index) {
  std::fprintf(stderr, "chunk invariant broken: %s (index %d)\n", what, static_cast<int>(index));
  std::abort();
}

void CheckParameters(const VSTCLASS& effect) {
  for (int32_t i = 0; i < effect.ParameterCount(); ++i) {
    const IParameter* p = effect.ParameterAt(i);
    if (!std::isfinite(p->value)) Fail("parameter value not finite", i);
    if (p->value < p->min || p->value > p->max) Fail("parameter value outside its range", i);
  }
}

void CheckSlots(const VSTCLASS& effect) {
  if (effect.PresetCount() != 25) Fail("slot count changed", effect.PresetCount());
  if (!effect.PresetAt(effect.CurrentPresetIndex()))
    Fail("current program is no slot", effect.CurrentPresetIndex());
  const int32_t valuesBlock = 8 * effect.ParameterCount();
  for (int32_t i = 0; i < effect.PresetCount(); ++i) {
    const IPresetSlot* slot = effect.PresetAt(i);
    if (!std::memchr(slot->name, '\0', sizeof slot->name)) Fail("slot name not terminated", i);
    if (std::strlen(slot->name) > 255) Fail("slot name too long", i);
    if (slot->initialized && slot->chunk.Size() != valuesBlock)
      Fail("initialised slot without one values block", i);
  }
}

// Saving, restoring what was saved and saving again gives the same bytes.
void CheckSaveRestoreSave(VSTCLASS& effect, bool bank) {
  const std::vector<uint8_t> saved = chunkfuzz::GetChunk(effect, bank);
  if (saved.empty()) Fail(bank ? "bank cannot be saved" : "program cannot be saved", 0);
  if (!chunkfuzz::SetChunk(effect, bank, saved.data(), saved.size()))
    Fail("saved chunk refused", bank ? 0 : 1);
  if (chunkfuzz::GetChunk(effect, bank) != saved)
    Fail("restored chunk saves differently", bank ? 0 : 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool bank = (data[0] & chunkfuzz::kBankBit) != 0;
  const int32_t programFirst = (data[0] >> 2) & 0x1F;

  VSTCLASS effect(nullptr);
  chunkfuzz::Dispatch(effect, effSetProgram, 0, programFirst, nullptr);
  chunkfuzz::SetChunk(effect, bank, data + 1, size - 1);

  CheckParameters(effect);
  CheckSlots(effect);
  CheckSaveRestoreSave(effect, true);
  CheckSaveRestoreSave(effect, false);
  CheckParameters(effect);
  CheckSlots(effect);
  return 0;
}
