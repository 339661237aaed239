// What the plug-in asks of the host: time information, host identification,
// automation and edit gestures, display updates and outgoing MIDI.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "tests/vst/InProcessPlugin.h"

namespace {

VstTimeInfo TimeInfo(int32_t flags) {
  VstTimeInfo info{};
  info.flags = flags;
  info.sampleRate = 44100.0;
  return info;
}

class HostServices : public ::testing::Test {
 protected:
  InProcessPlugin<> plugin;
  RecordingHost& host = plugin.host;
  DuoManglerEffect& effect = *plugin.effect;
};

}  // namespace

TEST_F(HostServices, TempoNeedsTheHostsValidFlag) {
  EXPECT_EQ(effect.HostTempo(), 0.0);
  ASSERT_EQ(host.RequestsWith(audioMasterGetTime).size(), 1u);
  EXPECT_EQ(host.RequestsWith(audioMasterGetTime)[0].value, kVstTempoValid);

  VstTimeInfo info = TimeInfo(kVstTempoValid);
  info.tempo = 133.5;
  host.timeInfo = info;
  EXPECT_EQ(effect.HostTempo(), 133.5);
  info.flags = kVstPpqPosValid;
  host.timeInfo = info;
  EXPECT_EQ(effect.HostTempo(), 0.0);
  info.flags = kVstTempoValid;
  info.tempo = -1.0;
  host.timeInfo = info;
  EXPECT_EQ(effect.HostTempo(), 0.0);
}

TEST_F(HostServices, SamplePositionRoundsHalfUpAndSaturates) {
  EXPECT_EQ(effect.HostSamplePosition(), 0);
  EXPECT_EQ(host.RequestsWith(audioMasterGetTime)[0].value, 0);
  VstTimeInfo info = TimeInfo(0);  // the position needs no flag
  const struct {
    double position;
    int32_t expected;
  } cases[] = {{1234.5, 1235},
               {1234.49, 1234},
               {0.0, 0},
               {-3.0, 0},
               {1e15, std::numeric_limits<int32_t>::max()},
               {std::numeric_limits<double>::infinity(), std::numeric_limits<int32_t>::max()},
               {std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const auto& c : cases) {
    info.samplePos = c.position;
    host.timeInfo = info;
    EXPECT_EQ(effect.HostSamplePosition(), c.expected) << c.position;
  }
}

TEST_F(HostServices, TimeSignatureNeedsTheValidFlagAndNonNegativeValues) {
  int32_t numerator = 9, denominator = 9;
  effect.HostTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 0);
  EXPECT_EQ(denominator, 0);
  EXPECT_EQ(host.RequestsWith(audioMasterGetTime)[0].value, kVstTimeSigValid);

  VstTimeInfo info = TimeInfo(kVstTimeSigValid);
  info.timeSigNumerator = 7;
  info.timeSigDenominator = 8;
  host.timeInfo = info;
  effect.HostTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 7);
  EXPECT_EQ(denominator, 8);
  info.timeSigNumerator = -7;
  host.timeInfo = info;
  effect.HostTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 0);
  EXPECT_EQ(denominator, 0);
  info = TimeInfo(kVstTempoValid);
  info.timeSigNumerator = 3;
  info.timeSigDenominator = 4;
  host.timeInfo = info;
  effect.HostTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 0);
}

TEST_F(HostServices, HostKindFromTheProductStringWithThePackedVersion) {
  host.productString = "REAPER";
  host.vendorVersion = 5 * 10000 + 2 * 100 + 1;
  EXPECT_EQ(effect.QueryHostKind(), HostKind::Reaper);
  EXPECT_EQ(effect.HostVersion(), 5 * 65536 + 2 * 256 + 1);
  host.Clear();
  EXPECT_EQ(effect.QueryHostKind(), HostKind::Reaper);
  EXPECT_TRUE(host.Requests().empty()) << "asked once, then kept";
}

TEST_F(HostServices, HostWithoutNameIsOtherWithVersionZero) {
  host.productString = "";
  EXPECT_EQ(effect.QueryHostKind(), HostKind::Other);
  EXPECT_EQ(effect.HostVersion(), 0);
  EXPECT_EQ(host.CountOf(audioMasterGetVendorVersion), 0u);
}

TEST_F(HostServices, HugeHostVersionsSaturate) {
  host.vendorVersion = std::numeric_limits<intptr_t>::max();
  effect.QueryHostKind();
  // The decimal form is first limited to 32 bits: 2147483647 is version
  // 214748.36.47, which packs beyond 32 bits again and saturates.
  EXPECT_EQ(effect.HostVersion(), std::numeric_limits<int32_t>::max());
}

namespace {

// A host that fills the whole 256-byte product buffer without a terminator.
intptr_t OverfillingHost(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
  if (opcode == audioMasterGetProductString && ptr) std::memset(ptr, 'r', 256);
  return 0;
}

}  // namespace

TEST(HostIdentificationInProcess, AnUnterminatedProductNameIsCut) {
  DuoManglerEffect* effect = new DuoManglerEffect(&OverfillingHost);
  EXPECT_EQ(effect->QueryHostKind(), HostKind::Other);
  AEffect* record = effect->Effect();
  record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(HostServices, AutomationFromTheEditorTellsTheHostTheValueReceived) {
  effect.SetParameterFromEditor(2, 0.25);
  const auto automate = host.RequestsWith(audioMasterAutomate);
  ASSERT_EQ(automate.size(), 1u);
  EXPECT_EQ(automate[0].index, 2);
  EXPECT_EQ(automate[0].opt, 0.25f);
  char text[32];
  plugin.Dispatch(effGetParamDisplay, 2, 0, text);
  EXPECT_STREQ(text, "25");
  // The value as received, not as stored after rounding to the step.
  effect.SetParameterFromEditor(2, 0.2549);
  EXPECT_EQ(host.RequestsWith(audioMasterAutomate)[1].opt, static_cast<float>(0.2549));
}

TEST_F(HostServices, EditGesturesWithoutEditor) {
  effect.HostBeginEdit(3);
  effect.HostEndEdit(3);
  // Without an editor to count down, a deferred end is sent at once.
  effect.DeferEndOfEdit(4);
  effect.HostBeginEditUnlessPending(5);
  const std::vector<RecordingHost::Request> requests = host.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(requests[0].index, 3);
  EXPECT_EQ(requests[1].opcode, audioMasterEndEdit);
  EXPECT_EQ(requests[1].index, 3);
  EXPECT_EQ(requests[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(requests[2].index, 4);
  EXPECT_EQ(requests[3].opcode, audioMasterBeginEdit);
  EXPECT_EQ(requests[3].index, 5);
}

TEST_F(HostServices, RefreshDisplay) {
  effect.HostRefreshDisplay();
  EXPECT_EQ(host.CountOf(audioMasterUpdateDisplay), 1u);
}

TEST_F(HostServices, LatencyGoesIntoTheRecordWithoutTellingTheHost) {
  effect.DeclareLatency(64);
  EXPECT_EQ(plugin.record->initialDelay, 64);
  EXPECT_EQ(effect.Latency(), 64);
  EXPECT_TRUE(host.Requests().empty());
}

TEST_F(HostServices, OutgoingShortMidi) {
  const IShortMidi note{17, 0x90, 60, 100};
  EXPECT_TRUE(effect.SendMidiMessage(note));
  host.processEventsAnswer = 0;
  EXPECT_FALSE(effect.SendMidiMessage(note));
  const auto sent = host.RequestsWith(audioMasterProcessEvents);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].numEvents, 1);
  EXPECT_EQ(sent[0].eventsReserved, 0);
  EXPECT_TRUE(sent[0].entryAfterLastIsNull);
  ASSERT_EQ(sent[0].midiEvents.size(), 1u);
  const VstMidiEvent& event = sent[0].midiEvents[0];
  EXPECT_EQ(event.type, kVstMidiType);
  EXPECT_EQ(event.byteSize, 32);
  EXPECT_EQ(event.deltaFrames, 17);
  EXPECT_EQ(event.flags, 0);
  EXPECT_EQ(event.noteLength, 0);
  EXPECT_EQ(event.noteOffset, 0);
  EXPECT_EQ(static_cast<uint8_t>(event.midiData[0]), 0x90);
  EXPECT_EQ(event.midiData[1], 60);
  EXPECT_EQ(event.midiData[2], 100);
  EXPECT_EQ(event.midiData[3], 0);
  EXPECT_EQ(event.detune, 0);
  EXPECT_EQ(event.noteOffVelocity, 0);
  EXPECT_EQ(event.reserved1, 0);
  EXPECT_EQ(event.reserved2, 0);
}

TEST_F(HostServices, OutgoingSystemExclusive) {
  const uint8_t bytes[] = {0xF0, 0x7E, 0x01, 0xF7};
  EXPECT_TRUE(effect.SendSystemExclusive(ISysExBlock{5, 4, bytes}));
  const auto sent = host.RequestsWith(audioMasterProcessEvents);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].entryAfterLastIsNull);
  ASSERT_EQ(sent[0].sysexEvents.size(), 1u);
  const VstMidiSysexEvent& event = sent[0].sysexEvents[0];
  EXPECT_EQ(event.type, kVstSysExType);
  EXPECT_EQ(event.byteSize, 48);
  EXPECT_EQ(event.deltaFrames, 5);
  EXPECT_EQ(event.flags, 0);
  EXPECT_EQ(event.dumpBytes, 4);
  EXPECT_EQ(event.sysexDump, reinterpret_cast<const char*>(bytes));
  EXPECT_EQ(event.resvd1, 0);
  EXPECT_EQ(event.resvd2, 0);
}

TEST_F(HostServices, MessageListsAreSentWholeEvenAfterAFailure) {
  host.processEventsAnswer = 0;
  const IShortMidi list[3] = {{0, 0x90, 1, 1}, {1, 0x80, 1, 0}, {2, 0xB0, 7, 100}};
  EXPECT_FALSE(effect.SendMidiMessages(list, 3));
  EXPECT_EQ(host.CountOf(audioMasterProcessEvents), 3u);
}

namespace {

bool lockHeldDuringCall = false;

// While the host's callback runs, another thread cannot enter the plug-in.
intptr_t LockProbingHost(AEffect* record, int32_t opcode, int32_t, intptr_t, void*, float) {
  if (opcode != audioMasterUpdateDisplay) return 0;
  auto* plugin = static_cast<IEffectVST*>(record->object);
  bool enteredElsewhere = true;
  std::thread other([&] {
    enteredElsewhere = plugin->Lock().TryEnter();
    if (enteredElsewhere) plugin->Lock().Leave();
  });
  other.join();
  lockHeldDuringCall = !enteredElsewhere;
  return 0;
}

}  // namespace

TEST(HostCallbackLocking, TheHostIsCalledWithThePluginLockHeld) {
  DuoManglerEffect* probe = new DuoManglerEffect(&LockProbingHost);
  probe->HostRefreshDisplay();
  EXPECT_TRUE(lockHeldDuringCall);
  AEffect* record = probe->Effect();
  record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}
