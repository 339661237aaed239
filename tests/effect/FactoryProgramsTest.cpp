// The programs the effect installs, seen the way a host sees them: names,
// selection, and the program and bank chunks.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "effect/DuoManglerEffect.h"
#include "tests/effect/ProductTable.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutInt32(Bytes& bytes, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(u >> shift));
}

void PutDouble(Bytes& bytes, double v) {
  const auto u = std::bit_cast<uint64_t>(v);
  for (int shift = 0; shift < 64; shift += 8) bytes.push_back(static_cast<uint8_t>(u >> shift));
}

void PutHeader(Bytes& bytes) {
  for (const uint8_t b : {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}) bytes.push_back(b);
}

Bytes ChunkBytes(const IStateBuffer& chunk) {
  return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
}

Bytes ProgramChunk(VSTCLASS& effect) {
  IStateBuffer chunk;
  PluginLockGuard guard(effect.Lock());
  EXPECT_TRUE(effect.WriteProgramChunk(chunk));
  return ChunkBytes(chunk);
}

Bytes BankChunk(VSTCLASS& effect) {
  IStateBuffer chunk;
  PluginLockGuard guard(effect.Lock());
  EXPECT_TRUE(effect.WriteBankChunk(chunk));
  return ChunkBytes(chunk);
}

bool Select(VSTCLASS& effect, int32_t index) {
  PluginLockGuard guard(effect.Lock());
  return effect.SelectPreset(index);
}

std::vector<double> Values(const VSTCLASS& effect) {
  std::vector<double> values;
  for (int32_t i = 0; i < effect.ParameterCount(); ++i)
    values.push_back(effect.ParameterAt(i)->value);
  return values;
}

TEST(FactoryPrograms, FillTheFirstFourteenSlots) {
  VSTCLASS effect(nullptr);
  EXPECT_EQ(effect.CurrentPresetIndex(), 0);
  for (int32_t i = 0; i < product::kProgramCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(effect.PresetName(i), product::kPrograms[i].name);
    ASSERT_TRUE(effect.PresetAt(i)->initialized);
    const IStateBuffer& chunk = effect.PresetAt(i)->chunk;
    ASSERT_EQ(chunk.Size(), 72);
    for (int32_t p = 0; p < 9; ++p) {
      double v = 0.0;
      EXPECT_EQ(chunk.ReadValue(p * 8, v), p * 8 + 8);
      EXPECT_EQ(v, product::kPrograms[i].values[p]) << "parameter " << p;
    }
  }
  for (int32_t i = product::kProgramCount; i < product::kProgramSlots; ++i) {
    EXPECT_FALSE(effect.PresetAt(i)->initialized);
    EXPECT_EQ(effect.PresetName(i), "- " + std::to_string(i + 1) + " -");
  }
}

TEST(FactoryPrograms, DefaultProgramChunkIsTheHeaderAndNineDoubles) {
  VSTCLASS effect(nullptr);
  const Bytes chunk = ProgramChunk(effect);
  ASSERT_EQ(chunk.size(), 80u);
  const Bytes header = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(Bytes(chunk.begin(), chunk.begin() + 8), header);
  const Bytes thousand = {0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x8F, 0x40};
  const Bytes fifty = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x49, 0x40};
  const Bytes twenty = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x34, 0x40};
  const Bytes ninety = {0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x56, 0x40};
  const Bytes* expected[9] = {&thousand, &fifty,  &fifty, &twenty, &fifty,
                              &fifty,    &twenty, &fifty, &ninety};
  for (int32_t p = 0; p < 9; ++p) {
    EXPECT_EQ(Bytes(chunk.begin() + 8 + p * 8, chunk.begin() + 16 + p * 8), *expected[p]) << p;
  }
}

TEST(FactoryPrograms, BankAfterConstructionIs1369Bytes) {
  VSTCLASS effect(nullptr);
  Bytes expected;
  PutHeader(expected);
  for (const product::ProgramRow& program : product::kPrograms) {
    PutInt32(expected, static_cast<int32_t>(std::strlen(program.name)));
    expected.insert(expected.end(), program.name, program.name + std::strlen(program.name));
    expected.push_back(1);
    for (const int32_t v : program.values) PutDouble(expected, v);
  }
  for (int32_t slot = 15; slot <= 25; ++slot) {
    const std::string name = "- " + std::to_string(slot) + " -";
    PutInt32(expected, static_cast<int32_t>(name.size()));
    expected.insert(expected.end(), name.begin(), name.end());
    expected.push_back(0);
  }
  ASSERT_EQ(expected.size(), 1369u);

  const Bytes bank = BankChunk(effect);
  ASSERT_EQ(bank.size(), 1369u);
  EXPECT_EQ(bank, expected);
  // Slot 14, the first empty one, as its 11 bytes.
  const Bytes slot14 = {0x06, 0x00, 0x00, 0x00, '-', ' ', '1', '5', ' ', '-', 0x00};
  const size_t slot14At = 8 + 94 + 13 * 77 + 145;
  EXPECT_EQ(Bytes(bank.begin() + slot14At, bank.begin() + slot14At + 11), slot14);
}

TEST(FactoryPrograms, SelectingKickAppliesItsValues) {
  VSTCLASS effect(nullptr);
  ASSERT_TRUE(Select(effect, product::kKick));
  EXPECT_EQ(effect.CurrentPresetIndex(), product::kKick);
  EXPECT_EQ(Values(effect), product::As<double>(product::kPrograms[product::kKick].values));
  const TwoBandProcessor& p = effect.Processor();
  EXPECT_EQ(p.splitFrequency, 3000);
  // 31 * 0.0194f = 0.6014 (rounded), minus 0.96f: -0.3586 (0xBEB79A6A)
  EXPECT_EQ(std::bit_cast<uint32_t>(p.low.round), 0xBEB79A6Au);
  EXPECT_EQ(p.wetLevel, 0.9f);
}

TEST(FactoryPrograms, ElectroDrumSplitsAt999) {
  VSTCLASS effect(nullptr);
  ASSERT_TRUE(Select(effect, 1));
  EXPECT_EQ(effect.ParameterAt(0)->value, 999.0);
  EXPECT_EQ(effect.Processor().splitFrequency, 999);
}

TEST(FactoryPrograms, ProgramChunkOfSlotFour) {
  VSTCLASS effect(nullptr);
  ASSERT_TRUE(Select(effect, 4));
  Bytes expected;
  PutHeader(expected);
  for (const int32_t v : product::kPrograms[4].values) PutDouble(expected, v);
  EXPECT_EQ(ProgramChunk(effect), expected);
}

TEST(FactoryPrograms, EmptySlotsBecomeNumberedUserPresets) {
  VSTCLASS effect(nullptr);
  ASSERT_TRUE(Select(effect, product::kKick));
  ASSERT_TRUE(Select(effect, 14));
  EXPECT_STREQ(effect.PresetName(14), "user preset 1");
  EXPECT_EQ(effect.CurrentPresetIndex(), 14);
  EXPECT_EQ(Values(effect), product::As<double>(product::kPrograms[product::kKick].values));
  ASSERT_TRUE(Select(effect, 20));
  EXPECT_STREQ(effect.PresetName(20), "user preset 2");
}

TEST(FactoryPrograms, AddingToAFullBankChangesNothing) {
  VSTCLASS effect(nullptr);
  for (int32_t i = 14; i < 25; ++i) ASSERT_TRUE(Select(effect, i));
  const Bytes before = BankChunk(effect);
  effect.AddPresetFromValues("Extra", 500, 1, 2, 3, 4, 5, 6, 7, 8);
  EXPECT_EQ(BankChunk(effect), before);
}

}  // namespace
