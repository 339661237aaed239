// Program slots: filling, selecting, storing and naming.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/framework/TestEffect.h"

namespace {

class Programs : public ::testing::Test {
 protected:
  void SetUp() override {
    effect.DefineEffectParameters();
    effect.FillDefaultPresets("---- default ----", 1);
    effect.AddProgram("Kick", product::kPrograms[product::kKick].values);
  }
  TestEffect effect;
};

TEST_F(Programs, SlotsStartUnfilledWithNumberedNames) {
  TestEffect fresh;
  for (int32_t i = 0; i < 25; ++i) {
    EXPECT_FALSE(fresh.PresetAt(i)->initialized);
    EXPECT_EQ(std::string(fresh.PresetName(i)), "- " + std::to_string(i + 1) + " -");
    EXPECT_EQ(fresh.PresetAt(i)->chunk.Size(), 0);
  }
  EXPECT_STREQ(fresh.PresetName(25), "");
  EXPECT_STREQ(fresh.PresetName(-1), "");
}

TEST_F(Programs, DefaultsAndValuesFillTheFirstFreeSlots) {
  EXPECT_STREQ(effect.PresetName(0), "---- default ----");
  EXPECT_EQ(SlotValues(*effect.PresetAt(0)), kDefaults);
  EXPECT_STREQ(effect.PresetName(1), "Kick");
  EXPECT_EQ(SlotValues(*effect.PresetAt(1)),
            product::As<double>(product::kPrograms[product::kKick].values));
  EXPECT_FALSE(effect.PresetAt(2)->initialized);
  effect.FillDefaultPresets(nullptr, 2);
  EXPECT_STREQ(effect.PresetName(2), "Default");
  EXPECT_STREQ(effect.PresetName(3), "Default");
  EXPECT_FALSE(effect.PresetAt(4)->initialized);
}

TEST_F(Programs, ValuesAreStoredUnchangedAndLimitedOnlyWhenSelected) {
  effect.AddPresetFromValues("Wild", 50000, -5, 50, 20, 50, 50, 20, 50, 90);
  EXPECT_EQ(SlotValues(*effect.PresetAt(2))[0], 50000.0);
  ASSERT_TRUE(effect.SelectPreset(2));
  EXPECT_EQ(effect.ParameterAt(0)->value, 20000.0);
  EXPECT_EQ(effect.ParameterAt(1)->value, 0.0);
}

TEST_F(Programs, ContinuousParametersTakeDoubles) {
  TestEffect mixed("1-1", 2, 2);
  mixed.ParameterAt(0)->DefineContinuous("Gain", 0.0, -10.0, 10.0, 0.1, "dB");
  mixed.ParameterAt(1)->DefineInteger("Steps", 0, 0, 8, "");
  mixed.AddPresetFromValues("Mixed", -2.5, 7);
  EXPECT_EQ(SlotValues(*mixed.PresetAt(0)), (std::vector<double>{-2.5, 7.0}));
}

TEST_F(Programs, NothingIsAddedWhenEverySlotIsFilled) {
  for (int32_t i = 2; i < 25; ++i) effect.AddProgram("Filler", product::kDefaults);
  const std::string lastName = effect.PresetName(24);
  effect.AddPresetFromValues("One too many", 20, 0, 0, 0, 0, 0, 0, 0, 0);
  effect.FillDefaultPresets("Another", 1);
  EXPECT_EQ(effect.PresetName(24), lastName);
  for (int32_t i = 0; i < 25; ++i) EXPECT_NE(std::string(effect.PresetName(i)), "One too many");
  EXPECT_EQ(SlotValues(*effect.PresetAt(24)), kDefaults);
}

TEST_F(Programs, SelectingAFilledSlotAppliesItsValues) {
  effect.events.clear();
  auto* editor = new RecordingEditor;
  effect.AttachEditor(editor);
  editor->shown.clear();
  ASSERT_TRUE(effect.SelectPreset(1));
  EXPECT_EQ(effect.CurrentPresetIndex(), 1);
  EXPECT_EQ(effect.ParameterAt(0)->value, 3000.0);
  EXPECT_EQ(effect.ParameterAt(4)->value, 31.0);
  EXPECT_EQ(effect.CountEvents("changed"), 9);
  ASSERT_EQ(editor->shown.size(), 9u);
  EXPECT_EQ(editor->shown[0].value, 3000.0);
  EXPECT_FALSE(editor->shown[0].normalised);
}

TEST_F(Programs, SelectingAnEmptySlotMakesItAUserPreset) {
  effect.ParameterAt(8)->value = 77.0;
  ASSERT_TRUE(effect.SelectPreset(14));
  EXPECT_STREQ(effect.PresetName(14), "user preset 1");
  EXPECT_TRUE(effect.PresetAt(14)->initialized);
  EXPECT_EQ(SlotValues(*effect.PresetAt(14))[8], 77.0);
  EXPECT_EQ(effect.CurrentPresetIndex(), 14);
  ASSERT_TRUE(effect.SelectPreset(20));
  EXPECT_STREQ(effect.PresetName(20), "user preset 2");
}

TEST_F(Programs, SelectingOutsideTheSlotsChangesNothing) {
  effect.events.clear();
  EXPECT_FALSE(effect.SelectPreset(25));
  EXPECT_FALSE(effect.SelectPreset(-1));
  EXPECT_EQ(effect.CurrentPresetIndex(), 0);
  EXPECT_TRUE(effect.events.empty());
}

TEST_F(Programs, StoringKeepsTheFlagAndRenamesOnlyWithAName) {
  effect.ParameterAt(2)->value = 12.0;
  effect.StoreIntoCurrentPreset(nullptr);
  EXPECT_EQ(SlotValues(*effect.PresetAt(0))[2], 12.0);
  EXPECT_STREQ(effect.PresetName(0), "---- default ----");
  effect.StoreIntoCurrentPreset("");
  EXPECT_STREQ(effect.PresetName(0), "---- default ----");
  effect.StoreIntoCurrentPreset("Renamed");
  EXPECT_STREQ(effect.PresetName(0), "Renamed");
  EXPECT_EQ(effect.PresetAt(0)->chunk.Size(), 72);

  TestEffect unfilled;
  unfilled.DefineEffectParameters();
  unfilled.StoreIntoCurrentPreset("Named");
  EXPECT_FALSE(unfilled.PresetAt(0)->initialized);
  EXPECT_EQ(unfilled.PresetAt(0)->chunk.Size(), 72);
}

TEST_F(Programs, LongNamesAreCutTo255Bytes) {
  const std::string longName(400, 'L');
  effect.AddProgram(longName.c_str(), product::kDefaults);
  EXPECT_EQ(std::string(effect.PresetName(2)), std::string(255, 'L'));
  effect.StoreIntoCurrentPreset(longName.c_str());
  EXPECT_EQ(std::string(effect.PresetName(0)), std::string(255, 'L'));
}

TEST_F(Programs, UserPresetCountingLooksForTheWordAnywhere) {
  effect.StoreIntoCurrentPreset("my user preset");
  char name[32];
  effect.NextUserPresetName(name, sizeof name);
  EXPECT_STREQ(name, "user preset 2");
  effect.StoreIntoCurrentPreset("User Preset");  // case matters
  effect.NextUserPresetName(name, sizeof name);
  EXPECT_STREQ(name, "user preset 1");
}

TEST_F(Programs, EnsureOnePresetOnlyForAPluginWithoutSlots) {
  effect.EnsureOnePreset();
  EXPECT_EQ(effect.PresetCount(), 25);
  EXPECT_FALSE(effect.PresetAt(2)->initialized);

  TestEffect bare("1-1", 9, 0);
  bare.DefineEffectParameters();
  bare.EnsureOnePreset();
  ASSERT_EQ(bare.PresetCount(), 1);
  EXPECT_STREQ(bare.PresetName(0), "Default");
  EXPECT_TRUE(bare.PresetAt(0)->initialized);
  EXPECT_EQ(SlotValues(*bare.PresetAt(0)), kDefaults);
}

}  // namespace
