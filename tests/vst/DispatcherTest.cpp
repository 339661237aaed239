// Every dispatcher request a host can send, driven through the effect record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/effect/ProductTable.h"
#include "tests/vst/ModuleUnderTest.h"

namespace {

class Dispatcher : public HostedPluginTest {
 protected:
  void SetUp() override {
    HostedPluginTest::SetUp();
    plugin->OpenAndStart(44100.0f, 512);
  }

  std::string Display(int32_t index) const { return plugin->Text(effGetParamDisplay, index); }
};

// A text buffer whose bytes past `used` must stay untouched.
struct GuardedText {
  explicit GuardedText(size_t bytes) : buffer(bytes + 64, '#') {}
  char* Data() { return buffer.data(); }
  bool UntouchedFrom(size_t offset) const {
    for (size_t i = offset; i < buffer.size(); ++i)
      if (buffer[i] != '#') return false;
    return true;
  }
  std::vector<char> buffer;
};

}  // namespace

TEST_F(Dispatcher, ParameterNamesLabelsAndDisplaysAtTheDefaults) {
  for (int32_t i = 0; i < product::kParameterCount; ++i) {
    SCOPED_TRACE(i);
    const product::ParameterRow& row = product::kParameters[i];
    EXPECT_EQ(plugin->Text(effGetParamName, i), row.name);
    EXPECT_EQ(plugin->Text(effGetParamLabel, i), row.label);
    EXPECT_EQ(Display(i), std::to_string(row.def));
    EXPECT_EQ(plugin->Dispatch(effGetParamName, i, 0, GuardedText(32).Data()), 0);
  }
}

TEST_F(Dispatcher, ParameterTextRequestsOutsideTheParametersLeaveTheBufferAlone) {
  for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
    for (int32_t index : {-1, 9, std::numeric_limits<int32_t>::min()}) {
      GuardedText text(0);
      EXPECT_EQ(plugin->Dispatch(opcode, index, 0, text.Data()), 0);
      EXPECT_TRUE(text.UntouchedFrom(0));
    }
    EXPECT_EQ(plugin->Dispatch(opcode, 0, 0, nullptr), 0);
  }
}

TEST_F(Dispatcher, CanBeAutomatedAndFixedAnswers) {
  for (int32_t index : {0, 8, 9, -1, 1000})
    EXPECT_EQ(plugin->Dispatch(effCanBeAutomated, index), 1);
  EXPECT_EQ(plugin->Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(plugin->Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(plugin->Dispatch(effGetPlugCategory), kPlugCategEffect);
  EXPECT_EQ(plugin->Dispatch(effGetVendorVersion), 10000);
  EXPECT_EQ(plugin->Dispatch(effEditIdle), 0);
  EXPECT_EQ(plugin->Dispatch(effIdle), 0);
  EXPECT_EQ(plugin->Dispatch(effProcessVarIo, 0, 0, GuardedText(0).Data()), 0);
}

TEST_F(Dispatcher, IdentityStrings) {
  EXPECT_EQ(plugin->Text(effGetEffectName), product::kName);
  EXPECT_EQ(plugin->Text(effGetVendorString), product::kMaker);
  EXPECT_EQ(plugin->Text(effGetProductString), "");
  char text[64];
  EXPECT_EQ(plugin->Dispatch(effGetEffectName, 0, 0, text), 1);
  EXPECT_EQ(plugin->Dispatch(effGetVendorString, 0, 0, text), 1);
  EXPECT_EQ(plugin->Dispatch(effGetProductString, 0, 0, text), 1);
  for (int32_t opcode : {effGetEffectName, effGetVendorString, effGetProductString})
    EXPECT_EQ(plugin->Dispatch(opcode, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, UnhandledRequestsAnswerZeroAndTouchNothing) {
  std::vector<int32_t> unhandled = {9,
                                    16,
                                    17,
                                    18,
                                    20,
                                    21,
                                    28,
                                    30,
                                    31,
                                    32,
                                    36,
                                    37,
                                    38,
                                    39,
                                    40,
                                    43,
                                    44,
                                    46,
                                    52,
                                    54,
                                    55,
                                    56,
                                    57,
                                    59,
                                    60,
                                    61,
                                    62,
                                    63,
                                    64,
                                    65,
                                    67,
                                    68,
                                    -1,
                                    -100,
                                    std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max()};
  for (int32_t opcode = 70; opcode < 200; ++opcode) unhandled.push_back(opcode);
  const std::vector<uint8_t> before = plugin->Chunk(false);
  for (int32_t opcode : unhandled) {
    SCOPED_TRACE(opcode);
    GuardedText text(0);
    EXPECT_EQ(plugin->Dispatch(opcode, 1, 1, text.Data(), 1.0f), 0);
    EXPECT_TRUE(text.UntouchedFrom(0));
  }
  EXPECT_EQ(plugin->Chunk(false), before);
  EXPECT_EQ(plugin->Dispatch(effGetProgram), 0);
}

TEST_F(Dispatcher, StringToParameterStoresTheTypedValueLimitedToTheRange) {
  char text[32] = "500";
  EXPECT_EQ(plugin->Dispatch(effString2Parameter, 0, 0, text), 1);
  EXPECT_EQ(Display(0), "500");
  std::strcpy(text, "50000");
  EXPECT_EQ(plugin->Dispatch(effString2Parameter, 0, 0, text), 1);
  EXPECT_EQ(Display(0), "20000");
  EXPECT_FLOAT_EQ(plugin->GetParameter(0), 1.0f);
  // Texts that are not numbers, or numbers no parameter can hold.
  std::strcpy(text, "loud");
  EXPECT_EQ(plugin->Dispatch(effString2Parameter, 8, 0, text), 1);
  EXPECT_EQ(Display(8), "0");
  std::strcpy(text, "1e308");
  plugin->Dispatch(effString2Parameter, 8, 0, text);
  EXPECT_EQ(Display(8), "100");
  std::strcpy(text, "-inf");
  plugin->Dispatch(effString2Parameter, 8, 0, text);
  EXPECT_EQ(Display(8), "0");
  std::strcpy(text, "nan");
  plugin->Dispatch(effString2Parameter, 1, 0, text);
  EXPECT_EQ(Display(1), "0");
  // A valid index answers 1 even without a text; an invalid one answers 0.
  EXPECT_EQ(plugin->Dispatch(effString2Parameter, 2, 0, nullptr), 1);
  EXPECT_EQ(Display(2), "50");
  EXPECT_EQ(plugin->Dispatch(effString2Parameter, 9, 0, text), 0);
  EXPECT_EQ(plugin->Dispatch(effString2Parameter, -1, 0, text), 0);
}

TEST_F(Dispatcher, StringToParameterKeepsFractionsTheHostTyped) {
  // The stored value is not rounded to the step; the display truncates and
  // the effect rounds (999.5 -> 1000 for the processor).
  char text[32] = "999.5";
  plugin->Dispatch(effString2Parameter, 0, 0, text);
  EXPECT_EQ(Display(0), "999");
  EXPECT_EQ(host.CountOf(audioMasterAutomate), 0u) << "the host typed it; it is not told back";
}

TEST_F(Dispatcher, ProgramSelectionAndNames) {
  EXPECT_EQ(plugin->Dispatch(effGetProgram), 0);
  EXPECT_EQ(plugin->Text(effGetProgramName), "---- default ----");
  plugin->Dispatch(effSetProgram, 0, 8);  // Kick
  EXPECT_EQ(plugin->Dispatch(effGetProgram), 8);
  EXPECT_EQ(plugin->Text(effGetProgramName), "Kick");
  EXPECT_EQ(Display(0), "3000");
  EXPECT_EQ(Display(4), "31");
  EXPECT_EQ(Display(8), "90");
  plugin->Dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(Display(0), "999");
}

TEST_F(Dispatcher, ProgramChangeKeepsEditsInTheProgramLeft) {
  plugin->SetParameter(0, 0.5f);  // 5015 Hz in program 0
  plugin->Dispatch(effSetProgram, 0, 13);
  EXPECT_EQ(Display(0), "1000");
  plugin->Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(Display(0), "5015");
}

TEST_F(Dispatcher, ProgramIndexesOutsideTheSlotsChangeNothing) {
  plugin->Dispatch(effSetProgram, 0, 3);
  const intptr_t wrapsToOne = static_cast<intptr_t>((int64_t{1} << 32) + 1);
  for (intptr_t value :
       {intptr_t{25}, intptr_t{-1}, wrapsToOne, std::numeric_limits<intptr_t>::min()}) {
    plugin->Dispatch(effSetProgram, 0, value);
    EXPECT_EQ(plugin->Dispatch(effGetProgram), 3);
  }
}

TEST_F(Dispatcher, SelectingAnEmptySlotMakesAUserPreset) {
  plugin->Dispatch(effSetProgram, 0, 14);
  EXPECT_EQ(plugin->Text(effGetProgramName), "user preset 1");
  EXPECT_EQ(Display(0), "1000");
  plugin->Dispatch(effSetProgram, 0, 20);
  EXPECT_EQ(plugin->Text(effGetProgramName), "user preset 2");
}

TEST_F(Dispatcher, ProgramNamesIndexed) {
  char text[64];
  EXPECT_EQ(plugin->Dispatch(effGetProgramNameIndexed, 13, 0, text), 1);
  EXPECT_STREQ(text, "Lead");
  EXPECT_EQ(plugin->Dispatch(effGetProgramNameIndexed, 14, 0, text), 1);
  EXPECT_STREQ(text, "- 15 -");
  EXPECT_EQ(plugin->Dispatch(effGetProgramNameIndexed, 11, 0, text), 1);
  EXPECT_STREQ(text, "Guitar More Drive 2");
  EXPECT_EQ(plugin->Dispatch(effGetProgramNameIndexed, 25, 0, text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(plugin->Dispatch(effGetProgramNameIndexed, -1, 0, text), 0);
  EXPECT_EQ(plugin->Dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, RenamingTheCurrentProgramAlsoStoresItsValues) {
  plugin->Dispatch(effSetProgram, 0, 5);
  plugin->SetParameter(8, 0.25f);
  char name[] = "My Drums";
  EXPECT_EQ(plugin->Dispatch(effSetProgramName, 0, 0, name), 0);
  EXPECT_EQ(plugin->Text(effGetProgramName), "My Drums");
  plugin->Dispatch(effSetProgram, 0, 0);
  plugin->Dispatch(effSetProgram, 0, 5);
  EXPECT_EQ(Display(8), "25");
  EXPECT_EQ(plugin->Dispatch(effSetProgramName, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin->Text(effGetProgramName), "My Drums");
}

TEST_F(Dispatcher, ProgramNamesReachTheHostWithinTwentyFourBytes) {
  std::string longName(200, 'n');
  plugin->Dispatch(effSetProgramName, 0, 0, longName.data());
  GuardedText current(24);
  plugin->Dispatch(effGetProgramName, 0, 0, current.Data());
  EXPECT_EQ(std::string(current.Data()), std::string(23, 'n'));
  EXPECT_TRUE(current.UntouchedFrom(24));
  GuardedText indexed(24);
  EXPECT_EQ(plugin->Dispatch(effGetProgramNameIndexed, 0, 0, indexed.Data()), 1);
  EXPECT_EQ(std::string(indexed.Data()), std::string(23, 'n'));
  EXPECT_TRUE(indexed.UntouchedFrom(24));
}

TEST_F(Dispatcher, ParameterTextsStayWithinThirtyTwoBytes) {
  for (int32_t i = 0; i < 9; ++i) {
    for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
      GuardedText text(32);
      plugin->Dispatch(opcode, i, 0, text.Data());
      EXPECT_TRUE(text.UntouchedFrom(32));
      EXPECT_LT(std::strlen(text.Data()), 32u);
    }
  }
}

TEST_F(Dispatcher, InputAndOutputPins) {
  VstPinProperties pin{};
  EXPECT_EQ(plugin->Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(plugin->Dispatch(effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  EXPECT_STREQ(pin.label, "Input 2");
  EXPECT_EQ(plugin->Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 3);
  EXPECT_STREQ(pin.label, "Output 1");
  EXPECT_EQ(plugin->Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 2");
  for (int32_t opcode : {effGetInputProperties, effGetOutputProperties}) {
    EXPECT_EQ(plugin->Dispatch(opcode, 2, 0, &pin), 0);
    EXPECT_EQ(plugin->Dispatch(opcode, -1, 0, &pin), 0);
    EXPECT_EQ(plugin->Dispatch(opcode, 0, 0, nullptr), 0);
  }
}

TEST_F(Dispatcher, SpeakerArrangementsDescribeStereoInAndOut) {
  VstSpeakerArrangement* inputs = nullptr;
  VstSpeakerArrangement* outputs = nullptr;
  EXPECT_EQ(
      plugin->Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&inputs), &outputs),
      1);
  ASSERT_NE(inputs, nullptr);
  ASSERT_NE(outputs, nullptr);
  EXPECT_EQ(inputs->type, kSpeakerArrStereo);
  EXPECT_EQ(inputs->numChannels, 2);
  EXPECT_EQ(outputs->type, kSpeakerArrStereo);
  EXPECT_EQ(outputs->numChannels, 2);
  EXPECT_EQ(plugin->Dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 1);
  EXPECT_EQ(plugin->Dispatch(effSetSpeakerArrangement, 0, 0, nullptr), 1);
}

TEST_F(Dispatcher, CapabilityQueries) {
  auto canDo = [this](const char* text) {
    std::string copy = text;
    return plugin->Dispatch(effCanDo, 0, 0, copy.data());
  };
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
  EXPECT_EQ(canDo("hasCockosExtensions"), static_cast<intptr_t>(0xBEEF0000));
  EXPECT_EQ(canDo("hasCockosViewAsConfig"), static_cast<intptr_t>(0xBEEF0000));
  for (const char* unknown :
       {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent",
        "receiveVstTimeInfo ", "receiveVstTimeInf", "", "bypass", "plugAsChannelInsert"})
    EXPECT_EQ(canDo(unknown), 0) << unknown;
  EXPECT_EQ(plugin->Dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, VendorDisplayTextOfAnyNormalisedValue) {
  char text[64] = "";
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effGetParamDisplay, 0, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "5015");  // 20 + 0.5^2 * 19980
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effGetParamDisplay, 8, text, 0.25f), 0xBEEF);
  EXPECT_STREQ(text, "25");
  std::strcpy(text, "keep");
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effGetParamDisplay, 9, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "keep");
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effGetParamDisplay, 0, nullptr, 0.5f), 0);
  // The current value is not touched.
  EXPECT_EQ(Display(0), "1000");
}

TEST_F(Dispatcher, VendorDisplayOfHugeOrNonFiniteValuesStaysBounded) {
  for (float opt : {1e30f, -1e30f, std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity(), std::nanf(""), -2.0f}) {
    for (int32_t index = 0; index < 9; ++index) {
      GuardedText text(32);
      EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effGetParamDisplay, index, text.Data(), opt),
                0xBEEF);
      EXPECT_TRUE(text.UntouchedFrom(32));
      EXPECT_LT(std::strlen(text.Data()), 32u);
    }
  }
}

TEST_F(Dispatcher, VendorSwitchQueryFindsNoSwitchAmongTheKnobs) {
  for (intptr_t index : {0, 4, 8, 9, -1})
    EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effGetParamName, index), 0);
}

TEST_F(Dispatcher, VendorNormalisedValueOfAText) {
  char text[64] = "20000";
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effString2Parameter, 0, text), 0xBEEF);
  EXPECT_STREQ(text, "1.00000000000000000");
  std::strcpy(text, "60");
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effString2Parameter, 8, text), 0xBEEF);
  EXPECT_STREQ(text, "0.59999999999999998");  // (60 - 0) / 100 as a double
  std::strcpy(text, "1e300");
  plugin->Dispatch(effVendorSpecific, effString2Parameter, 8, text);
  EXPECT_STREQ(text, "1.00000000000000000");
  std::strcpy(text, "nan");
  plugin->Dispatch(effVendorSpecific, effString2Parameter, 8, text);
  EXPECT_STREQ(text, "0.00000000000000000");
  // An empty text is left as it is; the parameter itself never changes.
  text[0] = '\0';
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effString2Parameter, 8, text), 0xBEEF);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(Display(8), "90");
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effString2Parameter, 9, text), 0);
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, effString2Parameter, 0, nullptr), 0);
}

TEST_F(Dispatcher, VendorRequestsNotUnderstoodAnswerZero) {
  const intptr_t whee = 0x57686565;
  const int32_t wheelSelector = 0x73744341;
  // Without an editor there is no wheel to turn.
  if (!(plugin->Effect()->flags & effFlagsHasEditor)) {
    EXPECT_EQ(plugin->Dispatch(effVendorSpecific, wheelSelector, whee, nullptr, 1.0f), 0);
  }
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, wheelSelector, 0, nullptr, 1.0f), 0);
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin->Dispatch(effVendorSpecific, -1, 0, nullptr), 0);
}

TEST_F(Dispatcher, MidiKeyNamesAreNeverGiven) {
  MidiKeyName key{};
  key.thisKeyNumber = 60;
  std::memset(key.keyName, 'k', sizeof key.keyName);
  key.reserved = 7;
  key.flags = 9;
  EXPECT_EQ(plugin->Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  // Emptied, and nothing else of the host's record written.
  EXPECT_EQ(key.keyName[0], '\0');
  for (size_t i = 1; i < sizeof key.keyName; ++i) ASSERT_EQ(key.keyName[i], 'k') << i;
  EXPECT_EQ(key.thisKeyNumber, 60);
  EXPECT_EQ(key.reserved, 7);
  EXPECT_EQ(key.flags, 9);
  EXPECT_EQ(plugin->Dispatch(effGetMidiKeyName, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, IncomingEventsAreAcceptedAndIgnored) {
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.midiData[0] = static_cast<char>(0x90);
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  // Hosts allocate room for more than the two declared entries.
  struct {
    VstEvents head;
    VstEvent* more[2];
  } list{};
  list.head.numEvents = 4;
  list.head.events[0] = reinterpret_cast<VstEvent*>(&note);
  list.head.events[1] = nullptr;
  list.more[0] = reinterpret_cast<VstEvent*>(&sysex);
  VstEvent other{};
  other.type = 99;
  list.more[1] = &other;
  EXPECT_EQ(plugin->Dispatch(effProcessEvents, 0, 0, &list.head), 1);
  EXPECT_EQ(plugin->Dispatch(effProcessEvents, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, WithoutEditorTheEditorRequestsAnswerZero) {
  if (plugin->Effect()->flags & effFlagsHasEditor) GTEST_SKIP() << "this module has an editor";
  ERect* rect = nullptr;
  EXPECT_EQ(plugin->Dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(plugin->Dispatch(effEditOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin->Dispatch(effEditClose), 0);
}

TEST_F(Dispatcher, WithEditorTheRectangleIsTheEditorsSize) {
  if (!(plugin->Effect()->flags & effFlagsHasEditor)) GTEST_SKIP() << "this module has no editor";
  ERect* rect = nullptr;
  EXPECT_EQ(plugin->Dispatch(effEditGetRect, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin->Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 282);
  EXPECT_EQ(rect->right, 488);
}
