// The binding's rules for identities other than duoMangler's: instruments,
// chunk-based state, MIDI capabilities and channel layouts other than stereo.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/vst/InProcessPlugin.h"
#include "vst/IEffectVST.h"

namespace {

struct Identity {
  const char* channels = "2-2";
  int32_t midiFlags = 0;
  bool usesChunks = false;
  bool isInstrument = false;
};

class VariantEffect : public IEffectVST {
 public:
  VariantEffect(audioMasterCallback host, const Identity& identity)
      : IEffectVST(host, 2, identity.channels, 3, "Variant", "Variant Product", "Vendor",
                   0x00010203, VstFourCC('a', 'b', 'c', 'd'), VstFourCC('e', 'f', 'g', 'h'), 5,
                   identity.midiFlags, identity.usesChunks, identity.isInstrument) {}
};

// Owns one variant through its record, as a host would.
class Variant : public InProcessPlugin<VariantEffect> {
 public:
  explicit Variant(const Identity& identity) : InProcessPlugin(identity) {}
  intptr_t CanDo(const char* text) {
    std::string copy = text;
    return Dispatch(effCanDo, 0, 0, copy.data());
  }
};

}  // namespace

TEST(BindingVariants, InstrumentWithChunksAndNoMonoLayout) {
  Variant v({"2-2", 0, true, true});
  // Replacing, double replacing, program chunks, synth; no mono configuration.
  EXPECT_EQ(v.record->flags, 0x1010 | 0x20 | 0x100);
  EXPECT_EQ(v.Dispatch(effGetPlugCategory), kPlugCategSynth);
  EXPECT_EQ(v.record->version, 10203);
  EXPECT_EQ(v.Dispatch(effGetVendorVersion), 10203);
  EXPECT_EQ(v.record->initialDelay, 5);
  EXPECT_EQ(v.record->uniqueID, 0x61626364);
  EXPECT_EQ(v.record->numPrograms, 3);
  EXPECT_EQ(v.record->numParams, 2);
  char text[64];
  v.Dispatch(effGetProductString, 0, 0, text);
  EXPECT_STREQ(text, "Variant Product");
}

TEST(BindingVariants, SpeakerArrangementTypesFollowTheChannelCounts) {
  const struct {
    const char* channels;
    int32_t inputType, outputType;
  } cases[] = {{"0-1", kSpeakerArrEmpty, kSpeakerArrMono},
               {"1-6", kSpeakerArrMono, kSpeakerArrUserDefined},
               {"2-2 3-3", kSpeakerArrUserDefined, kSpeakerArrUserDefined}};
  for (const auto& c : cases) {
    Variant v({c.channels});
    VstSpeakerArrangement* inputs = nullptr;
    VstSpeakerArrangement* outputs = nullptr;
    v.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&inputs), &outputs);
    EXPECT_EQ(inputs->type, c.inputType) << c.channels;
    EXPECT_EQ(outputs->type, c.outputType) << c.channels;
    EXPECT_EQ(inputs->numChannels, v.record->numInputs);
    EXPECT_EQ(outputs->numChannels, v.record->numOutputs);
  }
}

TEST(BindingVariants, PinsPairUpEvenChannelsThatHaveAPartner) {
  Variant v({"5-5"});
  const int32_t expected[5] = {3, 1, 3, 1, 1};
  for (int32_t i = 0; i < 5; ++i) {
    VstPinProperties pin{};
    EXPECT_EQ(v.Dispatch(effGetOutputProperties, i, 0, &pin), 1);
    EXPECT_EQ(pin.flags, expected[i]) << i;
    EXPECT_EQ(std::string(pin.label), "Output " + std::to_string(i + 1));
  }
}

TEST(BindingVariants, MidiCapabilitiesFollowTheMidiFlags) {
  const struct {
    int32_t flags;
    intptr_t sends, receives;
  } cases[] = {{0, 0, 0}, {1, 1, 1}, {2, 0, 1}, {3, 1, 0}};
  for (const auto& c : cases) {
    Variant v({"2-2", c.flags});
    EXPECT_EQ(v.CanDo("sendVstEvents"), c.sends) << c.flags;
    EXPECT_EQ(v.CanDo("sendVstMidiEvent"), c.sends) << c.flags;
    EXPECT_EQ(v.CanDo("receiveVstEvents"), c.receives) << c.flags;
    EXPECT_EQ(v.CanDo("receiveVstMidiEvent"), c.receives) << c.flags;
    EXPECT_EQ(v.CanDo("receiveVstTimeInfo"), 1);
  }
}

TEST(BindingVariants, MidiPluginsAskForMidiOnEveryBlock) {
  Variant v({"2-2", 1});
  float samples[4] = {};
  float* channels[2] = {samples, samples};
  double wide[4] = {};
  double* wideChannels[2] = {wide, wide};
  v.record->processReplacing(v.record, channels, channels, 4);
  v.record->process(v.record, channels, channels, 4);
  v.record->processDoubleReplacing(v.record, wideChannels, wideChannels, 4);
  EXPECT_EQ(v.host.CountOf(audioMasterWantMidi), 3u);

  Variant quiet({"2-2", 0});
  quiet.record->processReplacing(quiet.record, channels, channels, 4);
  EXPECT_EQ(quiet.host.CountOf(audioMasterWantMidi), 0u);
}

TEST(BindingVariants, ThePluginWithoutEditorAnswersTheEditorRequestsWithZero) {
  Variant v({"2-2"});
  EXPECT_EQ(v.record->flags & effFlagsHasEditor, 0);
  ERect* rect = nullptr;
  EXPECT_EQ(v.Dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(v.Dispatch(effEditOpen), 0);
  EXPECT_EQ(v.Dispatch(effEditClose), 0);
}

TEST(BindingVariants, ADispatcherCallWithoutPluginDoesNothing) {
  Variant v({"2-2"});
  AEffect orphan = *v.record;
  orphan.object = nullptr;
  EXPECT_EQ(orphan.dispatcher(&orphan, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(orphan.dispatcher(&orphan, effClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(orphan.getParameter(&orphan, 0), 0.0f);
  orphan.setParameter(&orphan, 0, 1.0f);
  orphan.processReplacing(&orphan, nullptr, nullptr, 16);
  EXPECT_EQ(v.record->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
}
