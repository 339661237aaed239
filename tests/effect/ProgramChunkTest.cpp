// The real effect's state through the chunk exchange: what a host saved
// comes back byte for byte, and the effect's derived quantities follow.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "effect/DuoManglerEffect.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Save(VSTCLASS& effect, bool bank) {
  IStateBuffer chunk;
  PluginLockGuard guard(effect.Lock());
  const bool written = bank ? effect.WriteBankChunk(chunk) : effect.WriteProgramChunk(chunk);
  EXPECT_TRUE(written);
  return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
}

bool Restore(VSTCLASS& effect, const Bytes& bytes, bool bank) {
  IStateBuffer incoming;
  PluginLockGuard guard(effect.Lock());
  return effect.ReadChunkFromHost(incoming, bytes.data(), static_cast<int64_t>(bytes.size()), bank);
}

TEST(ProgramChunks, FactoryBankComesBackIntoAnEditedEffect) {
  VSTCLASS factory(nullptr);
  const Bytes bank = Save(factory, true);

  VSTCLASS edited(nullptr);
  {
    PluginLockGuard guard(edited.Lock());
    ASSERT_TRUE(edited.SelectPreset(8));  // Kick
    edited.ParameterAt(8)->SetValueClamped(10.0);
    edited.ParameterChanged(8);
    edited.StoreIntoCurrentPreset("Renamed Kick");
    edited.PresetAt(3)->SetName("Renamed");
  }
  ASSERT_TRUE(Restore(edited, bank, true));
  EXPECT_STREQ(edited.PresetName(8), "Kick");
  EXPECT_EQ(edited.ParameterAt(8)->value, 90.0);
  EXPECT_EQ(edited.Processor().splitFrequency, 3000);
  EXPECT_EQ(Save(edited, true), bank);
}

TEST(ProgramChunks, ProgramChunkMovesAProgramToAnotherInstance) {
  VSTCLASS source(nullptr);
  {
    PluginLockGuard guard(source.Lock());
    ASSERT_TRUE(source.SelectPreset(8));
  }
  const Bytes kick = Save(source, false);
  ASSERT_EQ(kick.size(), 80u);

  VSTCLASS target(nullptr);
  ASSERT_TRUE(Restore(target, kick, false));
  EXPECT_EQ(target.CurrentPresetIndex(), 0);
  EXPECT_STREQ(target.PresetName(0), "---- default ----");
  EXPECT_EQ(Save(target, false), kick);
  EXPECT_EQ(target.Processor().splitFrequency, 3000);
  EXPECT_EQ(target.Processor().low.round, source.Processor().low.round);
  // The values became the current program: switching away and back keeps them.
  {
    PluginLockGuard guard(target.Lock());
    target.StoreIntoCurrentPreset(nullptr);
    ASSERT_TRUE(target.SelectPreset(1));
    ASSERT_TRUE(target.SelectPreset(0));
  }
  EXPECT_EQ(Save(target, false), kick);
}

}  // namespace
