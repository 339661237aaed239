// Identity, host identification, the editor seam, edits and their locking.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/framework/TestEffect.h"

namespace {

TEST(Identity, ConstructionState) {
  TestEffect base;
  EXPECT_EQ(base.ParameterCount(), 9);
  EXPECT_EQ(base.ParameterAt(0)->kind, ParamKind::Unset);
  EXPECT_EQ(base.ParameterAt(9), nullptr);
  EXPECT_EQ(base.ParameterAt(-1), nullptr);
  EXPECT_EQ(base.PresetCount(), 25);
  EXPECT_EQ(base.CurrentPresetIndex(), 0);
  EXPECT_EQ(base.PendingEndEdit(), -1);
  EXPECT_EQ(base.KnownHostKind(), HostKind::NotQueried);
  EXPECT_EQ(base.QueryHostKind(), HostKind::NotQueried);
  EXPECT_EQ(base.SampleRate(), 44100.0);
  EXPECT_EQ(base.BlockSize(), 0);
  EXPECT_EQ(base.Editor(), nullptr);
  EXPECT_STREQ(base.EffectName(), product::kName);
  EXPECT_STREQ(base.MakerName(), product::kMaker);
  EXPECT_EQ(base.UniqueId(), product::kUniqueId);
  base.StoreSampleRate(48000.0);
  EXPECT_EQ(base.SampleRate(), 48000.0);
  base.DeclareLatency(12);
  EXPECT_EQ(base.Latency(), 12);
}

TEST(Identity, LongNamesAreCutToTheFields) {
  const std::string longName(300, 'x');
  TestEffect base("1-1", 1, 1, longName.c_str());
  EXPECT_EQ(std::string(base.EffectName()), std::string(127, 'x'));
}

TEST(Identity, VersionAsPackedOrDecimal) {
  TestEffect base("1-1", 1, 1, "x", 0x00010203);
  EXPECT_EQ(base.VersionNumber(true), 10203);
  EXPECT_EQ(base.VersionNumber(false), 0x00010203);
  TestEffect effect;
  EXPECT_EQ(effect.VersionNumber(true), 10000);
}

TEST(HostIdentification, FirstListedWordWinsWhateverTheCase) {
  EXPECT_EQ(HostKindFromName("REAPER"), HostKind::Reaper);
  EXPECT_EQ(HostKindFromName("Ableton LIVE with Cubase bridge"), HostKind::Cubase);
  EXPECT_EQ(HostKindFromName("cUbAsE lIvE"), HostKind::Cubase);
  EXPECT_EQ(HostKindFromName("Ableton Live"), HostKind::Live);
  EXPECT_EQ(HostKindFromName("Ardour"), HostKind::Ardour);
  EXPECT_EQ(HostKindFromName("SAWStudio64"), HostKind::SawStudio);
  EXPECT_EQ(HostKindFromName("reape"), HostKind::Other);
  EXPECT_EQ(HostKindFromName(""), HostKind::Other);
  EXPECT_EQ(HostKindFromName(nullptr), HostKind::Other);

  TestEffect base;
  base.IdentifyHost("Adobe Audition", 0x00050201);
  EXPECT_EQ(base.QueryHostKind(), HostKind::Audition);
  EXPECT_EQ(base.HostVersion(), 0x00050201);
}

TEST(HostIdentification, EveryWordGivesItsKindNumber) {
  // The numbers other parts of the plug-in switch on; 2, 6, 10, 11 and 19
  // belong to no word.
  const struct {
    const char* name;
    int32_t kind;
  } hosts[] = {{"Cubase", 3},      {"Reaper", 1},     {"Nuendo", 4},
               {"Cakewalk", 5},    {"Samplitude", 8}, {"Fruity Loops", 7},
               {"Live", 9},        {"Melodyne", 12},  {"VstManLib", 13},
               {"AU Lab", 0},      {"AULab", 14},     {"Forte", 15},
               {"Chainer", 16},    {"Audition", 17},  {"Orion", 18},
               {"SAWStudio", 20},  {"Logic", 21},     {"Digital Performer", 22},
               {"AudioMulch", 23}, {"PreSonus", 24},  {"Acoustica", 25},
               {"GarageBand", 26}, {"Ardour", 27},    {"Bitwig", 0}};
  for (const auto& host : hosts) {
    EXPECT_EQ(static_cast<int32_t>(HostKindFromName(host.name)), host.kind) << host.name;
  }
  EXPECT_EQ(static_cast<int32_t>(HostKind::NotQueried), -1);
  // Earlier words win over later ones wherever they stand in the name.
  EXPECT_EQ(HostKindFromName("Logic with Reaper"), HostKind::Reaper);
  EXPECT_EQ(HostKindFromName("Ardour (Nuendo import)"), HostKind::Nuendo);
}

TEST(Editing, HostHearsTheReceivedValueBeforeTheEffectReacts) {
  TestEffect base;
  base.DefineEffectParameters();
  base.SetParameterFromEditor(1, 0.3337);
  EXPECT_EQ(base.ParameterAt(1)->value, 33.0);
  ASSERT_EQ(base.events.size(), 2u);
  EXPECT_EQ(base.events[0], (HostEvent{"automate", 1, 0.3337}));
  EXPECT_EQ(base.events[1], (HostEvent{"changed", 1, 33.0}));

  base.events.clear();
  base.SetParameterFromEditor(9, 0.5);  // no such parameter: nothing happens
  EXPECT_TRUE(base.events.empty());
}

TEST(Editing, NotifyAllParametersChangedInIndexOrder) {
  TestEffect base;
  base.NotifyAllParametersChanged();
  ASSERT_EQ(base.CountEvents("changed"), 9);
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(base.events[i].index, i);
}

TEST(Editing, DeferredEndOfEditIsSentExactlyOnce) {
  TestEffect base;
  auto* editor = new RecordingEditor(25);
  base.AttachEditor(editor);
  base.DeferEndOfEdit(4);
  EXPECT_EQ(base.PendingEndEdit(), 4);
  EXPECT_EQ(base.CountEvents("end"), 0);
  ASSERT_EQ(editor->countdowns.size(), 1u);
  EXPECT_EQ(editor->countdowns[0], 12);  // 25 / 2
  base.FlushDeferredEndOfEdit();
  base.FlushDeferredEndOfEdit();
  EXPECT_EQ(base.CountEvents("end"), 1);
  EXPECT_EQ(base.events.back(), (HostEvent{"end", 4, 0.0}));
  EXPECT_EQ(base.PendingEndEdit(), -1);
  EXPECT_EQ(editor->stops, 2);
}

TEST(Editing, ALaterDeferReplacesThePendingParameter) {
  TestEffect base;
  auto* editor = new RecordingEditor(24);
  base.AttachEditor(editor);
  base.DeferEndOfEdit(3);
  base.DeferEndOfEdit(6);
  EXPECT_EQ(editor->countdowns, (std::vector<int32_t>{12, 12}));
  base.FlushDeferredEndOfEdit();
  ASSERT_EQ(base.CountEvents("end"), 1);
  EXPECT_EQ(base.events.back(), (HostEvent{"end", 6, 0.0}));
}

TEST(Editing, CountdownIsAtLeastOneTick) {
  TestEffect base;
  auto* editor = new RecordingEditor(1);
  base.AttachEditor(editor);
  base.DeferEndOfEdit(0);
  EXPECT_EQ(editor->countdowns.back(), 1);
}

TEST(Editing, WithoutAnEditorTheEndOfEditIsSentAtOnce) {
  TestEffect base;
  base.DeferEndOfEdit(2);
  EXPECT_EQ(base.CountEvents("end"), 1);
  EXPECT_EQ(base.PendingEndEdit(), -1);
  base.FlushDeferredEndOfEdit();
  EXPECT_EQ(base.CountEvents("end"), 1);
}

TEST(EditorSeam, AttachingShowsNormalisedValuesThenCreatesTheBackBuffer) {
  TestEffect base;
  base.DefineEffectParameters();
  base.AttachEditor(nullptr);
  EXPECT_EQ(base.Editor(), nullptr);
  auto* editor = new RecordingEditor;
  base.AttachEditor(editor);
  EXPECT_EQ(base.Editor(), editor);
  ASSERT_EQ(editor->shown.size(), 9u);
  EXPECT_EQ(editor->backBufferAfterShown, 9);
  EXPECT_TRUE(editor->shown[8].normalised);
  EXPECT_DOUBLE_EQ(editor->shown[8].value, 0.9);
  // sqrt((1000 − 20) / 19980)
  EXPECT_DOUBLE_EQ(editor->shown[0].value, std::sqrt(980.0 / 19980.0));

  editor->shown.clear();
  base.PushValuesToEditor();
  ASSERT_EQ(editor->shown.size(), 9u);
  EXPECT_FALSE(editor->shown[0].normalised);
  EXPECT_EQ(editor->shown[0].value, 1000.0);
}

TEST(EditorSeam, TheBaseDestroysItsEditor) {
  bool destroyed = false;
  {
    TestEffect base;
    base.AttachEditor(new RecordingEditor(24, &destroyed));
    EXPECT_FALSE(destroyed);
  }
  EXPECT_TRUE(destroyed);
}

// Records what of the plug-in still exists when the editor goes.
class WatchingEditor : public RecordingEditor {
 public:
  WatchingEditor(const IEffectBase& watched, int32_t& parameters, int32_t& presets, int32_t& inputs)
      : base(watched), parametersSeen(parameters), presetsSeen(presets), inputsSeen(inputs) {}
  ~WatchingEditor() override {
    parametersSeen = base.ParameterCount();
    presetsSeen = base.PresetCount();
    inputsSeen = base.InputCount();
  }

 private:
  const IEffectBase& base;
  int32_t& parametersSeen;
  int32_t& presetsSeen;
  int32_t& inputsSeen;
};

TEST(EditorSeam, TheEditorGoesBeforeEverythingItMayLookAt) {
  int32_t parameters = -1, presets = -1, inputs = -1;
  {
    TestEffect base;
    base.AttachEditor(new WatchingEditor(base, parameters, presets, inputs));
  }
  EXPECT_EQ(parameters, 9);
  EXPECT_EQ(presets, 25);
  EXPECT_EQ(inputs, 2);
}

TEST(Midi, EveryMessageIsSentEvenAfterAFailure) {
  TestEffect base;
  const IShortMidi messages[] = {{0, 0x90, 60, 100}, {1, 0xFF, 0, 0}, {2, 0x80, 60, 0}};
  EXPECT_FALSE(base.SendMidiMessages(messages, 3));
  EXPECT_EQ(base.sentMidi, (std::vector<uint8_t>{0x90, 0xFF, 0x80}));
  EXPECT_TRUE(base.SendMidiMessages(messages, 1));
  char name[8] = "x";
  EXPECT_FALSE(base.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
}

// Runs the operation on a second thread while this thread holds the lock
// (twice, as the binding's nested calls do): it must wait for the release.
void ExpectOperationWaitsForTheLock(TestEffect& base, const std::function<void()>& operation) {
  base.Lock().Enter();
  base.Lock().Enter();
  std::atomic<bool> done{false};
  std::thread other([&] {
    operation();
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(done.load());
  base.Lock().Leave();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(done.load());
  base.Lock().Leave();
  other.join();
  EXPECT_TRUE(done.load());
}

TEST(Locking, OperationsThatTakeTheLockWaitForIt) {
  TestEffect base;
  base.DefineEffectParameters();
  IStateBuffer chunk;
  const std::function<void()> operations[] = {
      [&] { base.SetParameterFromEditor(0, 0.5); },
      [&] { base.WriteParameters(chunk); },
      [&] { base.ReadParameters(chunk, 0); },
      [&] { base.DeferEndOfEdit(1); },
      [&] { base.FlushDeferredEndOfEdit(); },
      [&] { base.AttachEditor(new RecordingEditor); },
      [&] { base.IEffectBase::ApplySampleRate(); },
      [&] { base.IEffectBase::ParameterChanged(0); },
      [&] { base.IEffectBase::ProcessingSwitched(true); },
  };
  for (const auto& operation : operations) ExpectOperationWaitsForTheLock(base, operation);
}

}  // namespace
