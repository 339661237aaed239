// The LV2 session keeps the whole bank and the current program: every slot's
// name and values come back, sessions of earlier versions still restore, and
// a damaged bank is refused without changing anything.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>

#include <cstring>
#include <string>

#include "framework/IPresetSlot.h"
#include "framework/IStateBuffer.h"
#include "tests/lv2/Lv2TestHost.h"

namespace {

using namespace lv2_test;

struct Slot {
  std::string name;
  bool initialized = false;
  std::vector<double> values;
};

std::vector<uint8_t> BytesOf(const IStateBuffer& chunk) {
  return {chunk.Data(), chunk.Data() + chunk.Size()};
}

// The bank chunk's layout: the header, then per slot a length-prefixed name,
// the initialised byte and, when set, one value per parameter.
std::vector<Slot> ReadSlots(const std::vector<uint8_t>& bytes) {
  IStateBuffer chunk;
  chunk.ResizeZeroFilled(static_cast<int32_t>(bytes.size()));
  std::memcpy(chunk.Data(), bytes.data(), bytes.size());
  std::vector<Slot> slots;
  int32_t at = IStateBuffer::kHeaderBytes;
  while (at > 0 && at < chunk.Size()) {
    Slot slot;
    char name[IPresetSlot::kNameCapacity];
    at = chunk.ReadString(at, name, sizeof name);
    slot.name = name;
    slot.initialized = chunk.Data()[at++] != 0;
    for (uint32_t i = 0; slot.initialized && i < kControls; ++i) {
      double v = 0.0;
      at = chunk.ReadValue(at, v);
      slot.values.push_back(v);
    }
    slots.push_back(slot);
  }
  EXPECT_EQ(at, chunk.Size());
  return slots;
}

std::vector<uint8_t> WriteSlots(const std::vector<Slot>& slots) {
  IStateBuffer chunk;
  chunk.WriteChunkHeader();
  for (const Slot& slot : slots) {
    chunk.AppendString(slot.name.c_str());
    const uint8_t flag = slot.initialized ? 1 : 0;
    chunk.AppendBytes(&flag, 1);
    for (double v : slot.values) chunk.AppendValue(v);
  }
  return BytesOf(chunk);
}

std::vector<uint8_t> ValuesChunk(const std::vector<double>& values) {
  IStateBuffer chunk;
  chunk.WriteChunkHeader();
  for (double v : values) chunk.AppendValue(v);
  return BytesOf(chunk);
}

std::vector<uint8_t> Int32Bytes(int32_t v) {
  std::vector<uint8_t> bytes(sizeof v);
  std::memcpy(bytes.data(), &v, sizeof v);
  return bytes;
}

const std::vector<double> kFarProgram = {3000, 50, 60, 40, 31, 50, 10, 50, 90};
const std::vector<double> kCurrentProgram = {250, 20, 30, 40, 50, 60, 70, 80, 75};

class Lv2Bank : public ::testing::Test {
 protected:
  std::unique_ptr<Lv2Instance> Start() {
    auto instance = std::make_unique<Lv2Instance>(module, urids.Features());
    EXPECT_TRUE(instance->Valid());
    instance->ConnectAll(64);
    instance->Activate();
    return instance;
  }

  SavedState Save(Lv2Instance& instance) {
    SavedState state;
    EXPECT_EQ(instance.Save(state), LV2_STATE_SUCCESS);
    return state;
  }

  // A session after editing: slot 7 renamed and given other values, the
  // current slot renamed and edited.
  SavedState EditedSession(int32_t current, const char* name, const std::vector<double>& values) {
    SavedState state = Save(*Start());
    std::vector<Slot> slots = ReadSlots(state.Bytes(bankKey));
    EXPECT_EQ(slots.size(), 25u);
    slots.at(7) = {"Far away", true, kFarProgram};
    slots.at(current) = {name, true, values};
    state.values[bankKey].bytes = WriteSlots(slots);
    state.values[valuesKey].bytes = ValuesChunk(values);
    state.values[programKey].bytes = Int32Bytes(current);
    return state;
  }
  SavedState EditedSession() { return EditedSession(3, "Here and now", kCurrentProgram); }

  Lv2Module module;
  UridMap urids;
  const uint32_t valuesKey = urids.Map(kValuesKey);
  const uint32_t bankKey = urids.Map(kBankKey);
  const uint32_t programKey = urids.Map(kProgramKey);
  const uint32_t chunkType = urids.Map(LV2_ATOM__Chunk);
  const uint32_t intType = urids.Map(LV2_ATOM__Int);
};

// Into a fresh instance, and into one whose current program is a user
// preset in a slot the session leaves empty.
TEST_F(Lv2Bank, SessionKeepsEveryProgramAndTheCurrentOne) {
  const SavedState session = EditedSession();
  EXPECT_EQ(session.values.at(bankKey).type, chunkType);
  EXPECT_EQ(session.values.at(programKey).type, intType);
  const SavedState elsewhere = EditedSession(20, "user preset 1", kFarProgram);
  for (const SavedState* first : {static_cast<const SavedState*>(nullptr), &elsewhere}) {
    auto instance = Start();
    if (first) {
      ASSERT_EQ(instance->Restore(*first), LV2_STATE_SUCCESS);
    }
    ASSERT_EQ(instance->Restore(session), LV2_STATE_SUCCESS);
    EXPECT_EQ(Save(*instance).values, session.values);
  }
}

// Earlier versions stored the current values alone: they still become the
// current values and the current program's, and the other slots stay.
TEST_F(Lv2Bank, StateOfEarlierVersionsRestoresTheCurrentValues) {
  const SavedState fresh = Save(*Start());
  SavedState earlier;
  earlier.values[valuesKey] = {chunkType, ValuesChunk(kFarProgram)};
  auto instance = Start();
  ASSERT_EQ(instance->Restore(earlier), LV2_STATE_SUCCESS);

  SavedState expected = fresh;
  expected.values[valuesKey] = earlier.values[valuesKey];
  std::vector<Slot> slots = ReadSlots(fresh.Bytes(bankKey));
  slots.at(0).values = kFarProgram;
  expected.values[bankKey].bytes = WriteSlots(slots);
  EXPECT_EQ(Save(*instance).values, expected.values);
}

TEST_F(Lv2Bank, DamagedBankIsRefusedAndChangesNothing) {
  const SavedState session = EditedSession();
  const std::vector<uint8_t>& bank = session.Bytes(bankKey);
  const std::vector<Slot> slots = ReadSlots(bank);
  const size_t fifthSlotAt = WriteSlots({slots.begin(), slots.begin() + 5}).size();

  struct Case {
    const char* what;
    uint32_t key;
    uint32_t type;
    std::vector<uint8_t> bytes;  // empty: the key is missing
  };
  std::vector<Case> cases = {
      {"bank cut in the middle",
       bankKey,
       chunkType,
       {bank.begin(), bank.begin() + bank.size() / 2}},
      {"bank a byte short", bankKey, chunkType, {bank.begin(), bank.end() - 1}},
      {"bank a byte long", bankKey, chunkType, bank},
      {"bank with a foreign header", bankKey, chunkType, bank},
      {"name longer than the bank", bankKey, chunkType, bank},
      {"bank of another type", bankKey, intType, bank},
      {"current program past the slots", programKey, intType, Int32Bytes(25)},
      {"current program negative", programKey, intType, Int32Bytes(-1)},
      {"current program of another size", programKey, intType, {3, 0}},
      {"current program missing", programKey, intType, {}},
      {"current values short", valuesKey, chunkType, ValuesChunk({1000, 50})},
  };
  cases[2].bytes.push_back(0);
  cases[3].bytes[1] ^= 0xFF;
  std::memset(cases[4].bytes.data() + fifthSlotAt, 0x7F, 4);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto instance = Start();
    instance->controls[8] = 40.0f;  // an edit not stored into any slot
    instance->Run(1);
    const SavedState before = Save(*instance);
    SavedState damaged = session;
    if (c.bytes.empty()) {
      damaged.values.erase(c.key);
    } else {
      damaged.values[c.key] = {c.type, c.bytes};
    }
    EXPECT_NE(instance->Restore(damaged), LV2_STATE_SUCCESS);
    EXPECT_EQ(Save(*instance).values, before.values);
  }
}

}  // namespace
