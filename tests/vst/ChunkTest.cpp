// Program and bank chunks exchanged with the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/effect/ProductTable.h"
#include "tests/vst/ModuleUnderTest.h"

namespace {

constexpr bool kProgram = true;
constexpr bool kBank = false;

std::vector<uint8_t> Header() { return {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}; }

void AppendDouble(std::vector<uint8_t>& bytes, double v) {
  uint8_t raw[8];
  std::memcpy(raw, &v, 8);  // x86-64 is little-endian, as the chunk format
  bytes.insert(bytes.end(), raw, raw + 8);
}

std::vector<uint8_t> ValuesBlock(const std::vector<double>& values) {
  std::vector<uint8_t> bytes;
  for (double v : values) AppendDouble(bytes, v);
  return bytes;
}

std::vector<uint8_t> ProgramChunk(const std::vector<double>& values) {
  std::vector<uint8_t> bytes = Header();
  const std::vector<uint8_t> block = ValuesBlock(values);
  bytes.insert(bytes.end(), block.begin(), block.end());
  return bytes;
}

class Chunks : public HostedPluginTest {
 protected:
  void SetUp() override {
    HostedPluginTest::SetUp();
    plugin->OpenAndStart(44100.0f, 256);
  }

  std::vector<std::string> Displays() const {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < 9; ++i) texts.push_back(plugin->Text(effGetParamDisplay, i));
    return texts;
  }
};

}  // namespace

TEST_F(Chunks, ProgramChunkAtTheDefaultsIsTheHeaderAndNineDoubles) {
  const std::vector<uint8_t> expected = ProgramChunk(product::As<double>(product::kDefaults));
  ASSERT_EQ(expected.size(), 80u);
  EXPECT_EQ(plugin->Chunk(kProgram), expected);
  // Spelled out for the first value: 1000.0 is 00 00 00 00 00 40 8F 40.
  const std::vector<uint8_t> chunk = plugin->Chunk(kProgram);
  const std::vector<uint8_t> firstValue(chunk.begin() + 8, chunk.begin() + 16);
  EXPECT_EQ(firstValue, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0x40, 0x8F, 0x40}));
}

TEST_F(Chunks, ProgramChunkOfASelectedFactoryProgram) {
  plugin->Dispatch(effSetProgram, 0, 4);
  EXPECT_EQ(plugin->Chunk(kProgram),
            ProgramChunk(product::As<double>(product::kPrograms[4].values)));
}

TEST_F(Chunks, ProgramChunkRoundTrip) {
  plugin->SetParameter(0, 0.5f);
  plugin->SetParameter(3, 0.33f);
  const std::vector<uint8_t> saved = plugin->Chunk(kProgram);
  const std::vector<std::string> before = Displays();
  plugin->SetParameter(0, 0.1f);
  plugin->SetParameter(3, 0.9f);
  EXPECT_EQ(plugin->SetChunk(kProgram, saved), 1);
  EXPECT_EQ(Displays(), before);
  // Restoring also makes it the current program's content.
  plugin->Dispatch(effSetProgram, 0, 1);
  plugin->Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(Displays(), before);
}

TEST_F(Chunks, ChunkBytesStayValidUntilTheNextRequestOfTheSameKind) {
  void* programBytes = nullptr;
  void* bankBytes = nullptr;
  const intptr_t programSize = plugin->Dispatch(effGetChunk, 1, 0, &programBytes);
  const intptr_t bankSize = plugin->Dispatch(effGetChunk, 0, 0, &bankBytes);
  ASSERT_EQ(programSize, 80);
  ASSERT_EQ(bankSize, 1369);
  const std::vector<uint8_t> program(static_cast<uint8_t*>(programBytes),
                                     static_cast<uint8_t*>(programBytes) + programSize);
  EXPECT_EQ(program, ProgramChunk(product::As<double>(product::kDefaults)));
  EXPECT_EQ(std::memcmp(bankBytes, Header().data(), 8), 0);
}

TEST_F(Chunks, BankChunkRightAfterConstructionHasEverySlot) {
  const std::vector<uint8_t> bank = plugin->Chunk(kBank);
  ASSERT_EQ(bank.size(), 1369u);
  const std::vector<uint8_t> header = Header();
  EXPECT_TRUE(std::equal(header.begin(), header.end(), bank.begin()));
  // Slot 0: length 17, the name, initialised, the defaults.
  const std::vector<uint8_t> slot0(bank.begin() + 8, bank.begin() + 8 + 94);
  std::vector<uint8_t> expected = {17, 0, 0, 0};
  for (char c : std::string("---- default ----")) expected.push_back(static_cast<uint8_t>(c));
  expected.push_back(1);
  const std::vector<uint8_t> block = ValuesBlock(product::As<double>(product::kDefaults));
  expected.insert(expected.end(), block.begin(), block.end());
  EXPECT_EQ(slot0, expected);
  // The last eleven slots are empty: 06 00 00 00 "- 25 -" 00 closes the bank.
  const std::vector<uint8_t> last(bank.end() - 11, bank.end());
  EXPECT_EQ(last, (std::vector<uint8_t>{6, 0, 0, 0, '-', ' ', '2', '5', ' ', '-', 0}));
}

TEST_F(Chunks, BankRoundTripIntoAnotherInstance) {
  plugin->Dispatch(effSetProgram, 0, 14);  // becomes user preset 1
  plugin->SetParameter(8, 0.5f);
  char name[] = "Renamed Lead";
  plugin->Dispatch(effSetProgram, 0, 13);
  plugin->Dispatch(effSetProgramName, 0, 0, name);
  plugin->SetParameter(1, 0.75f);
  const std::vector<uint8_t> bank = plugin->Chunk(kBank);
  const std::vector<std::string> current = Displays();

  RecordingHost otherHost;
  HostedPlugin other(ModuleEntry(), otherHost);
  other.OpenAndStart(44100.0f, 256);
  other.Dispatch(effSetProgram, 0, 13);
  EXPECT_EQ(other.SetChunk(kBank, bank), 1);
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(other.Text(effGetParamDisplay, i), current[i]);
  EXPECT_EQ(other.Text(effGetProgramName), "Renamed Lead");
  char text[64];
  other.Dispatch(effGetProgramNameIndexed, 14, 0, text);
  EXPECT_STREQ(text, "user preset 1");
  other.Dispatch(effSetProgram, 0, 14);
  EXPECT_EQ(other.Text(effGetParamDisplay, 8), "50");
  EXPECT_EQ(other.Chunk(kBank).size(), bank.size());
}

TEST_F(Chunks, ChunkWithoutTheHeaderIsReadAsValuesFromTheFirstByte) {
  const std::vector<uint8_t> values = ValuesBlock({3000, 10, 20, 30, 40, 60, 70, 80, 100});
  for (bool isProgram : {kProgram, kBank}) {
    plugin->Dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(plugin->SetChunk(isProgram, values), 1);
    EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "3000");
    EXPECT_EQ(plugin->Text(effGetParamDisplay, 8), "100");
    // Stored into the current program.
    plugin->Dispatch(effSetProgram, 0, 0);
    plugin->Dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "3000");
  }
}

TEST_F(Chunks, ValuesOutsideTheRangesAreLimited) {
  EXPECT_EQ(plugin->SetChunk(kProgram, ProgramChunk({1e9, -5, 50, 20, 50, 50, 20, 50, 1e300})), 1);
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "20000");
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 1), "0");
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 8), "100");
}

TEST_F(Chunks, ShortProgramChunkAppliesWhatItHoldsAndFails) {
  plugin->Dispatch(effSetProgram, 0, 8);  // Kick: 3000 50 60 40 31 50 10 50 90
  EXPECT_EQ(plugin->SetChunk(kProgram, ProgramChunk({500, 10, 20, 30, 40})), 0);
  const std::vector<std::string> expected = {"500", "10", "20", "30", "40", "0", "10", "50", "90"};
  EXPECT_EQ(Displays(), expected);
}

TEST_F(Chunks, MagicWithoutRoomForTheVersionIsRefused) {
  const std::vector<std::string> before = Displays();
  EXPECT_EQ(plugin->SetChunk(kProgram, {0x74, 0x66, 0x66, 0x70, 0x00}), 0);
  EXPECT_EQ(plugin->SetChunk(kBank, {0x74, 0x66, 0x66, 0x70}), 0);
  EXPECT_EQ(Displays(), before);
}

TEST_F(Chunks, TruncatedBankFails) {
  std::vector<uint8_t> bank = plugin->Chunk(kBank);
  bank.resize(bank.size() / 2);
  EXPECT_EQ(plugin->SetChunk(kBank, bank), 0);
}

TEST_F(Chunks, NullPointersAndImpossibleSizesAreRefusedWithoutChange) {
  plugin->SetParameter(0, 0.5f);
  const std::vector<uint8_t> before = plugin->Chunk(kProgram);
  EXPECT_EQ(plugin->Dispatch(effGetChunk, 1, 0, nullptr), 0);
  EXPECT_EQ(plugin->Dispatch(effGetChunk, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin->Dispatch(effSetChunk, 1, 80, nullptr), 0);
  std::vector<uint8_t> valid = ProgramChunk({20, 0, 0, 0, 0, 0, 0, 0, 0});
  for (intptr_t size :
       {intptr_t{-1}, intptr_t{-80}, std::numeric_limits<intptr_t>::min(),
        static_cast<intptr_t>(int64_t{1} << 31), static_cast<intptr_t>((int64_t{1} << 32) + 80),
        std::numeric_limits<intptr_t>::max()}) {
    for (int32_t index : {0, 1}) {
      EXPECT_EQ(plugin->Dispatch(effSetChunk, index, size, valid.data()), 0) << size;
    }
  }
  EXPECT_EQ(plugin->Chunk(kProgram), before);
}

TEST_F(Chunks, EmptyChunkFailsLikeAnyChunkThatEndsEarly) {
  plugin->SetParameter(0, 0.5f);
  plugin->SetParameter(1, 0.3f);
  // The first value is missing, so Split Freq takes 0 limited to its range;
  // reading stops there.
  EXPECT_EQ(plugin->SetChunk(kProgram, {}), 0);
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "20");
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 1), "30");
}
