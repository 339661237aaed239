// Program and bank chunks as the host saves and restores them.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/framework/TestEffect.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const IStateBuffer& buffer) {
  return Bytes(buffer.Data(), buffer.Data() + buffer.Size());
}

// Chunks assembled by hand, so the tests do not trust the writer.
struct ChunkBuilder {
  IStateBuffer bytes;
  ChunkBuilder& Header(int32_t version = IStateBuffer::kChunkVersion) {
    bytes.AppendInt32(IStateBuffer::kChunkMagic);
    bytes.AppendInt32(version);
    return *this;
  }
  ChunkBuilder& Values(const std::vector<double>& values) {
    for (double v : values) bytes.AppendValue(v);
    return *this;
  }
  ChunkBuilder& Record(const std::string& name, bool initialized,
                       const std::vector<double>& values = {}) {
    bytes.AppendString(name.c_str());
    const uint8_t flag = initialized ? 1 : 0;
    bytes.AppendBytes(&flag, 1);
    return Values(values);
  }
  ChunkBuilder& Int32(int32_t v) {
    bytes.AppendInt32(v);
    return *this;
  }
  Bytes Done() const { return BytesOf(bytes); }
};

const std::vector<double> kKick = product::As<double>(product::kPrograms[product::kKick].values);

class Chunks : public ::testing::Test {
 protected:
  void SetUp() override { Prepare(effect); }

  static void Prepare(TestEffect& e) {
    e.DefineEffectParameters();
    e.FillDefaultPresets("---- default ----", 1);
    e.AddProgram("Kick", product::kPrograms[product::kKick].values);
  }

  bool Restore(const Bytes& bytes, bool isBank) {
    return effect.ReadChunkFromHost(hostBuffer, bytes.data(), static_cast<int64_t>(bytes.size()),
                                    isBank);
  }

  // The invariants a restore must never break, whatever it was fed.
  void ExpectBankStillSavesCompletePrograms() {
    IStateBuffer bank;
    ASSERT_TRUE(effect.WriteBankChunk(bank));
    for (int32_t i = 0; i < effect.PresetCount(); ++i) {
      const IPresetSlot* slot = effect.PresetAt(i);
      if (slot->initialized) {
        EXPECT_EQ(slot->chunk.Size(), 72) << "slot " << i;
      }
    }
    TestEffect copy;
    copy.DefineEffectParameters();
    IStateBuffer incoming;
    ASSERT_TRUE(copy.ReadChunkFromHost(incoming, bank.Data(), bank.Size(), true));
    IStateBuffer again;
    ASSERT_TRUE(copy.WriteBankChunk(again));
    EXPECT_EQ(BytesOf(again), BytesOf(bank));
  }

  TestEffect effect;
  IStateBuffer hostBuffer;
};

TEST_F(Chunks, ProgramChunkAtTheDefaults) {
  IStateBuffer chunk;
  ASSERT_TRUE(effect.WriteProgramChunk(chunk));
  const Bytes expected = ChunkBuilder().Header().Values(kDefaults).Done();
  ASSERT_EQ(chunk.Size(), 80);
  EXPECT_EQ(BytesOf(chunk), expected);
  EXPECT_EQ(Bytes(chunk.Data(), chunk.Data() + 16),
            (Bytes{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x40, 0x8F, 0x40}));
  EXPECT_EQ(Bytes(chunk.Data() + 72, chunk.Data() + 80),
            (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x56, 0x40}));
}

TEST_F(Chunks, BankChunkLayout) {
  IStateBuffer bank;
  ASSERT_TRUE(effect.WriteBankChunk(bank));
  // 8 + (4 + 17 + 1 + 72) + (4 + 4 + 1 + 72) + 7 · (4 + 5 + 1) + 16 · (4 + 6 + 1)
  ASSERT_EQ(bank.Size(), 8 + 94 + 81 + 70 + 176);
  // Slots 2–8 have five-character names, 9–13 six: slot 14 starts at 308.
  const Bytes slot14(bank.Data() + 308, bank.Data() + 319);
  EXPECT_EQ(slot14, (Bytes{0x06, 0x00, 0x00, 0x00, '-', ' ', '1', '5', ' ', '-', 0x00}));
  const Bytes slot0Start(bank.Data() + 8, bank.Data() + 12);
  EXPECT_EQ(slot0Start, (Bytes{17, 0, 0, 0}));
  EXPECT_EQ(bank.Data()[8 + 4 + 17], 1);
}

TEST_F(Chunks, BankStoresTheCurrentValuesIntoTheCurrentSlotFirst) {
  effect.ParameterAt(8)->value = 33.0;
  IStateBuffer bank;
  ASSERT_TRUE(effect.WriteBankChunk(bank));
  EXPECT_EQ(SlotValues(*effect.PresetAt(0))[8], 33.0);
}

TEST_F(Chunks, BankRoundTripRestoresEveryNameFlagAndValue) {
  ASSERT_TRUE(effect.SelectPreset(14));  // becomes user preset 1
  effect.ParameterAt(3)->value = 71.0;
  effect.StoreIntoCurrentPreset("");
  ASSERT_TRUE(effect.SelectPreset(1));
  effect.ParameterAt(6)->value = 99.0;  // unsaved edit of Kick: the bank takes it along
  effect.PresetAt(5)->initialized = false;
  effect.PresetAt(6)->SetName("");
  IStateBuffer bank;
  ASSERT_TRUE(effect.WriteBankChunk(bank));

  TestEffect other;
  other.DefineEffectParameters();
  other.AddPresetFromValues("Doomed", 20, 0, 0, 0, 0, 0, 0, 0, 0);
  other.AddPresetFromValues("Also doomed", 20, 0, 0, 0, 0, 0, 0, 0, 0);
  IStateBuffer incoming;
  ASSERT_TRUE(other.ReadChunkFromHost(incoming, bank.Data(), bank.Size(), true));
  for (int32_t i = 0; i < 25; ++i) {
    const IPresetSlot* mine = effect.PresetAt(i);
    const IPresetSlot* theirs = other.PresetAt(i);
    EXPECT_STREQ(theirs->name, mine->name) << i;
    EXPECT_EQ(theirs->initialized, mine->initialized) << i;
    if (mine->initialized) {
      EXPECT_EQ(SlotValues(*theirs), SlotValues(*mine)) << i;
    }
  }
  EXPECT_STREQ(other.PresetName(6), "");
  EXPECT_EQ(SlotValues(*other.PresetAt(1))[6], 99.0);
  // The reader ends on the receiving plug-in's current program.
  EXPECT_EQ(other.CurrentPresetIndex(), 0);
  EXPECT_EQ(other.Values(), SlotValues(*other.PresetAt(0)));
  EXPECT_EQ(other.Values(), kDefaults);
}

TEST_F(Chunks, ChunkWithoutHeaderIsReadAsValues) {
  const Bytes chunk = ChunkBuilder().Values(kKick).Done();
  ASSERT_EQ(chunk.size(), 72u);
  EXPECT_TRUE(Restore(chunk, false));
  EXPECT_EQ(effect.Values(), kKick);
  EXPECT_EQ(SlotValues(*effect.PresetAt(0)), kKick);
  EXPECT_TRUE(Restore(ChunkBuilder().Values(kDefaults).Done(), true));  // also as a bank
  EXPECT_EQ(effect.Values(), kDefaults);
}

TEST_F(Chunks, ShortProgramChunkAppliesWhatItHasAndFails) {
  effect.ParameterAt(7)->value = 12.0;
  effect.events.clear();
  EXPECT_FALSE(Restore(ChunkBuilder().Header().Values({3000, 10, 20, 30, 40}).Done(), false));
  EXPECT_EQ(effect.Values(), (std::vector<double>{3000, 10, 20, 30, 40, 0, 20, 12, 90}));
  EXPECT_EQ(SlotValues(*effect.PresetAt(0)), effect.Values());
  EXPECT_EQ(effect.CountEvents("changed"), 9);
}

TEST_F(Chunks, ValuesAreLimitedToTheirRanges) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(Restore(
      ChunkBuilder().Header().Values({50000, 101, -3, nan, inf, -inf, 20, 50, 90}).Done(), false));
  EXPECT_EQ(effect.Values(), (std::vector<double>{20000, 100, 0, 0, 100, 0, 20, 50, 90}));
}

TEST_F(Chunks, MagicWithoutRoomForTheVersionIsRefused) {
  effect.ParameterAt(2)->value = 66.0;
  effect.events.clear();
  EXPECT_FALSE(Restore({0x74, 0x66, 0x66, 0x70, 0x00, 0x00}, false));
  EXPECT_EQ(effect.ParameterAt(2)->value, 66.0);
  EXPECT_EQ(effect.CountEvents("changed"), 9);
  EXPECT_EQ(SlotValues(*effect.PresetAt(0))[2], 66.0);
}

TEST_F(Chunks, BankOfAnOlderVersionIsReadAsValues) {
  EXPECT_TRUE(Restore(ChunkBuilder().Header(0x0000FFFF).Values(kKick).Done(), true));
  EXPECT_EQ(effect.Values(), kKick);
  EXPECT_STREQ(effect.PresetName(0), "---- default ----");
}

TEST_F(Chunks, EditorIsShownTheValuesOnlyAfterASuccess) {
  auto* editor = new RecordingEditor;
  effect.AttachEditor(editor);
  editor->shown.clear();
  EXPECT_FALSE(Restore(ChunkBuilder().Header().Values({1, 2}).Done(), false));
  EXPECT_TRUE(editor->shown.empty());
  EXPECT_TRUE(Restore(ChunkBuilder().Header().Values(kKick).Done(), false));
  EXPECT_EQ(editor->shown.size(), 9u);
}

TEST_F(Chunks, NegativeSizeIsRefusedWithoutTouchingAnything) {
  effect.events.clear();
  const uint8_t bytes[8] = {};
  EXPECT_FALSE(effect.ReadChunkFromHost(hostBuffer, bytes, -1, false));
  EXPECT_FALSE(effect.ReadChunkFromHost(hostBuffer, bytes, int64_t{1} << 33, true));
  EXPECT_TRUE(effect.events.empty());
  EXPECT_EQ(hostBuffer.Size(), 0);
}

TEST_F(Chunks, NegativeNameLengthIsRejected) {
  ChunkBuilder bank;
  bank.Header().Record("A", true, kKick).Record("B", false).Int32(-9).Int32(0x01020304);
  EXPECT_FALSE(Restore(bank.Done(), true));
  EXPECT_STREQ(effect.PresetName(0), "A");
  EXPECT_STREQ(effect.PresetName(1), "B");
  EXPECT_FALSE(effect.PresetAt(1)->initialized);
  EXPECT_STREQ(effect.PresetName(2), "");  // nothing could be read for it
  EXPECT_EQ(effect.Values(), kKick);       // slot 0, the current one
  ExpectBankStillSavesCompletePrograms();
}

TEST_F(Chunks, NameReachingPastTheEndIsRejected) {
  ChunkBuilder bank;
  bank.Header().Record("A", true, kKick).Int32(1000).Int32(0);
  EXPECT_FALSE(Restore(bank.Done(), true));
  EXPECT_STREQ(effect.PresetName(1), "");
  EXPECT_TRUE(effect.PresetAt(1)->initialized);
  EXPECT_EQ(SlotValues(*effect.PresetAt(1)), kKick);
  ExpectBankStillSavesCompletePrograms();
}

TEST_F(Chunks, SlotPromisedValuesItNeverGotStaysAsItWas) {
  ChunkBuilder bank;
  bank.Header().Record("A", true, kDefaults).Record("Kick 2", true, {1, 2});
  EXPECT_FALSE(Restore(bank.Done(), true));
  EXPECT_STREQ(effect.PresetName(1), "Kick");
  EXPECT_EQ(SlotValues(*effect.PresetAt(1)), kKick);
  ExpectBankStillSavesCompletePrograms();

  ChunkBuilder second;
  second.Header()
      .Record("A", true, kDefaults)
      .Record("Kick", false)
      .Record("Broken", true, {1, 2, 3});
  EXPECT_FALSE(Restore(second.Done(), true));
  EXPECT_FALSE(effect.PresetAt(1)->initialized);
  EXPECT_FALSE(effect.PresetAt(2)->initialized);
  EXPECT_STREQ(effect.PresetName(2), "- 3 -");
  EXPECT_EQ(effect.PresetAt(2)->chunk.Size(), 0);
  ExpectBankStillSavesCompletePrograms();
}

TEST_F(Chunks, RecordEndingBeforeItsFlagKeepsTheSlot) {
  ChunkBuilder bank;
  bank.Header().Record("A", true, kDefaults).Int32(3);
  bank.bytes.AppendBytes("Kic", 3);
  EXPECT_FALSE(Restore(bank.Done(), true));
  EXPECT_STREQ(effect.PresetName(1), "Kic");
  EXPECT_TRUE(effect.PresetAt(1)->initialized);
  EXPECT_EQ(SlotValues(*effect.PresetAt(1)), kKick);
  ExpectBankStillSavesCompletePrograms();
}

TEST_F(Chunks, CurrentSlotEmptiedByABankIsRefilledWithOneBlock) {
  ChunkBuilder bank;
  bank.Header().Record("gone", false);
  for (int32_t i = 1; i < 25; ++i) bank.Record("x", false);
  EXPECT_TRUE(Restore(bank.Done(), true));
  // Selecting the emptied current slot makes it a user preset: its chunk
  // holds exactly the current values, not the old ones followed by them.
  EXPECT_TRUE(effect.PresetAt(0)->initialized);
  EXPECT_STREQ(effect.PresetName(0), "user preset 1");
  EXPECT_EQ(SlotValues(*effect.PresetAt(0)), kDefaults);
  ExpectBankStillSavesCompletePrograms();
}

TEST_F(Chunks, LongNamesInABankAreCut) {
  ChunkBuilder bank;
  bank.Header().Record(std::string(1000, 'n'), true, kKick);
  for (int32_t i = 1; i < 25; ++i) bank.Record("x", false);
  EXPECT_TRUE(Restore(bank.Done(), true));
  EXPECT_EQ(std::string(effect.PresetName(0)), std::string(255, 'n'));
  ExpectBankStillSavesCompletePrograms();
}

TEST_F(Chunks, EmptyNameReadsBackEmpty) {
  ChunkBuilder bank;
  bank.Header().Record("", true, kKick).Record("", false);
  EXPECT_FALSE(Restore(bank.Done(), true));  // short: only two records
  EXPECT_STREQ(effect.PresetName(0), "");
  EXPECT_STREQ(effect.PresetName(1), "");
  EXPECT_FALSE(effect.PresetAt(1)->initialized);
}

}  // namespace
