// The VST 3 module driven as a host drives it, checked against the VST 2
// module's answers: identity, parameters, programs, state and hand-over
// records, audio on both precisions with automation at sample offsets, and
// the bypass.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "framework/PresetFile.h"
#include "tests/vst/ModuleUnderTest.h"
#include "tests/vst3/Vst3TestHost.h"

using namespace vst3test;
using Steinberg::Vst::ParamID;

namespace {

constexpr int32_t kParameters = 9;
constexpr int32_t kPrograms = 25;
constexpr ParamID kBypass = 9;
constexpr ParamID kProgram = 10;
constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kBlock = 512;

class Vst3ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Vst3Module().IsLoaded()) << Vst3Module().Error();
    ASSERT_TRUE(LoadedModule().IsLoaded()) << LoadedModule().Error();
    vst2 = std::make_unique<HostedPlugin>(ModuleEntry(), host);
    vst2->OpenAndStart(static_cast<float>(kRate), kBlock);
    plugin = std::make_unique<Vst3Instance>();
    ASSERT_TRUE(plugin->component && plugin->processor && plugin->controller);
  }

  std::string Vst2Text(int32_t opcode, int32_t index) { return vst2->Text(opcode, index); }

  RecordingHost host;
  std::unique_ptr<HostedPlugin> vst2;
  std::unique_ptr<Vst3Instance> plugin;
};

std::vector<uint8_t> LittleEndian(int32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

std::vector<uint8_t> Joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A host's hand-over: the 'VstW' header, then the VST 2 record.
std::vector<uint8_t> HandOver(const presets::PresetFile& file, uint8_t bypass = 0) {
  const std::vector<uint8_t> header = {'V', 's', 't', 'W', 0, 0, 0, 8, 0, 0, 0, 1, 0, 0, 0, bypass};
  return Joined(header, presets::SerializePresetFile(file));
}

presets::PresetFile Record(bool isBank, bool opaque) {
  presets::PresetFile file;
  file.isBank = isBank;
  file.opaque = opaque;
  file.pluginId = 0x706C3665;  // 'pl6e'
  file.pluginVersion = 0x00010000;
  file.parameterCount = kParameters;
  file.programCount = isBank ? kPrograms : 0;
  return file;
}

// A signal with a little of everything: a low tone, a high one and steps.
template <typename Sample>
std::vector<std::vector<Sample>> TestSignal(int32_t frames, int32_t channels = 2) {
  std::vector<std::vector<Sample>> signal(static_cast<size_t>(channels),
                                          std::vector<Sample>(static_cast<size_t>(frames)));
  for (int32_t c = 0; c < channels; ++c) {
    for (int32_t i = 0; i < frames; ++i) {
      const double t = i / kRate;
      signal[c][i] =
          static_cast<Sample>(0.6 * std::sin(2 * kPi * (80.0 + 40 * c) * t) +
                              0.3 * std::sin(2 * kPi * 6100.0 * t) + ((i / 997) % 2 ? 0.1 : -0.1));
    }
  }
  return signal;
}

}  // namespace

TEST_F(Vst3ModuleTest, FactoryNamesTheVendorTheEffectAndItsController) {
  IPluginFactory* factory = Vst3Factory();
  PFactoryInfo info{};
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Qovak");
  EXPECT_STREQ(info.url, "https://qovak.example/");
  ASSERT_EQ(factory->countClasses(), 2);

  IPluginFactory2* factory2 = nullptr;
  ASSERT_EQ(factory->queryInterface(IPluginFactory2_iid, reinterpret_cast<void**>(&factory2)),
            kResultOk);
  PClassInfo2 effect{};
  PClassInfo2 controller{};
  ASSERT_EQ(factory2->getClassInfo2(0, &effect), kResultOk);
  ASSERT_EQ(factory2->getClassInfo2(1, &controller), kResultOk);
  EXPECT_STREQ(effect.category, "Audio Module Class");
  EXPECT_STREQ(effect.name, "duoMangler");
  EXPECT_STREQ(effect.subCategories, "Fx|Distortion");
  EXPECT_STREQ(effect.version, "1.0.0");
  EXPECT_STREQ(effect.vendor, "Qovak");
  EXPECT_STREQ(controller.category, "ComponentControllerClass");

  // "VST" / "VSE", 'pl6e', "duomangle", read as the SDK reads a GUID.
  const TUID component = INLINE_UID(0x56535470, 0x6C366564, 0x756F6D61, 0x6E676C65);
  const TUID edit = INLINE_UID(0x56534570, 0x6C366564, 0x756F6D61, 0x6E676C65);
  EXPECT_EQ(std::memcmp(effect.cid, component, 16), 0);
  EXPECT_EQ(std::memcmp(controller.cid, edit, 16), 0);
  TUID named{};
  ASSERT_EQ(plugin->component->getControllerClassId(named), kResultOk);
  EXPECT_EQ(std::memcmp(named, edit, 16), 0);
  const TUID unknown = INLINE_UID(1, 2, 3, 4);
  void* none = nullptr;
  EXPECT_NE(factory->createInstance(unknown, FUnknown_iid, &none), kResultOk);
  EXPECT_EQ(none, nullptr);
}

TEST_F(Vst3ModuleTest, ParametersAnswerAsTheVst2Module) {
  Vst::IEditController* edit = plugin->controller;
  ASSERT_EQ(edit->getParameterCount(), kParameters + 2);
  const double probes[] = {0.0, 0.013, 0.25, 0.5, 0.6667, 0.999, 1.0};
  for (int32_t i = 0; i < kParameters; ++i) {
    SCOPED_TRACE(i);
    Vst::ParameterInfo info{};
    ASSERT_EQ(edit->getParameterInfo(i, info), kResultOk);
    EXPECT_EQ(info.id, static_cast<ParamID>(i));
    EXPECT_EQ(Text(info.title), Vst2Text(effGetParamName, i));
    EXPECT_EQ(Text(info.units), Vst2Text(effGetParamLabel, i));
    EXPECT_EQ(info.stepCount, i == 0 ? 19980 : 100);
    EXPECT_EQ(info.defaultNormalizedValue, static_cast<double>(vst2->GetParameter(i)));
    EXPECT_EQ(info.flags, Vst::ParameterInfo::kCanAutomate);
    for (double v : probes) {
      vst2->SetParameter(i, static_cast<float>(v));
      Vst::String128 text{};
      ASSERT_EQ(edit->getParamStringByValue(i, v, text), kResultOk);
      EXPECT_EQ(Text(text), Vst2Text(effGetParamDisplay, i)) << v;
      ASSERT_EQ(edit->setParamNormalized(i, v), kResultOk);
      EXPECT_EQ(edit->getParamNormalized(i), static_cast<double>(vst2->GetParameter(i))) << v;
    }
    for (const char* typed : {"500", "37 %", "12000 Hz", "-5"}) {
      std::string copy = typed;
      vst2->Dispatch(effString2Parameter, i, 0, copy.data());
      Vst::String128 wide{};
      for (size_t c = 0; c <= copy.size(); ++c) wide[c] = static_cast<Vst::TChar>(typed[c]);
      Vst::ParamValue value = -1;
      ASSERT_EQ(edit->getParamValueByString(i, wide, value), kResultOk) << typed;
      EXPECT_EQ(static_cast<float>(value), vst2->GetParameter(i)) << typed;
    }
  }
  // Split Freq's shaped mapping.
  EXPECT_EQ(edit->normalizedParamToPlain(0, 0.5), 5015.0);

  Vst::ParameterInfo bypass{};
  Vst::ParameterInfo program{};
  ASSERT_EQ(edit->getParameterInfo(kParameters, bypass), kResultOk);
  ASSERT_EQ(edit->getParameterInfo(kParameters + 1, program), kResultOk);
  EXPECT_EQ(bypass.id, kBypass);
  EXPECT_TRUE(bypass.flags & Vst::ParameterInfo::kIsBypass);
  EXPECT_EQ(bypass.stepCount, 1);
  EXPECT_EQ(program.id, kProgram);
  EXPECT_TRUE(program.flags & Vst::ParameterInfo::kIsProgramChange);
  EXPECT_EQ(program.stepCount, kPrograms - 1);
  EXPECT_EQ(program.unitId, Vst::kRootUnitId);
}

TEST_F(Vst3ModuleTest, ProgramListAndProgramParameterFollowTheVst2Programs) {
  Vst::IUnitInfo* units = nullptr;
  ASSERT_EQ(
      plugin->controller->queryInterface(Vst::IUnitInfo_iid, reinterpret_cast<void**>(&units)),
      kResultOk);
  Vst::UnitInfo root{};
  ASSERT_EQ(units->getUnitInfo(0, root), kResultOk);
  EXPECT_EQ(root.id, Vst::kRootUnitId);
  Vst::ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, root.programListId);
  ASSERT_EQ(list.programCount, kPrograms);
  for (int32_t p = 0; p < kPrograms; ++p) {
    Vst::String128 name{};
    ASSERT_EQ(units->getProgramName(list.id, p, name), kResultOk);
    EXPECT_EQ(Text(name), Vst2Text(effGetProgramNameIndexed, p)) << p;
  }
  units->release();

  // Choosing "Kick" (9) applies it as effSetProgram does, on both sides.
  vst2->SetParameter(8, 0.3f);
  plugin->controller->setParamNormalized(8, 0.3);
  Changes edit;
  edit.Add(8, 0, 0.3);
  edit.Add(kProgram, 0, 9.0 / 24.0);
  auto in = TestSignal<float>(64);
  auto out = in;
  plugin->Start(kRate, kBlock, Vst::kSample32);
  ASSERT_EQ(plugin->Process(in, out, 0, 64, &edit), kResultOk);
  plugin->handler.calls.clear();
  ASSERT_EQ(plugin->controller->setParamNormalized(kProgram, 9.0 / 24.0), kResultOk);
  vst2->Dispatch(effSetProgram, 0, 9);
  for (int32_t i = 0; i < kParameters; ++i) {
    EXPECT_EQ(plugin->controller->getParamNormalized(i),
              static_cast<double>(vst2->GetParameter(i)));
  }
  EXPECT_EQ(plugin->handler.calls, std::vector<std::string>{"restart 4"});
  // The processor's state carries the same bank as the VST 2 module's.
  EXPECT_EQ(plugin->State(), Joined(vst2->Chunk(false), LittleEndian(9)));
}

TEST_F(Vst3ModuleTest, StateIsTheVst2BankAndProgramAndRoundTrips) {
  vst2->Dispatch(effSetProgram, 0, 4);
  vst2->SetParameter(2, 0.77f);
  Changes edit;
  edit.Add(kProgram, 0, 4.0 / 24.0);
  edit.Add(2, 0, 0.77);
  plugin->Start(kRate, kBlock, Vst::kSample32);
  auto in = TestSignal<float>(16);
  auto out = in;
  plugin->Process(in, out, 0, 0, &edit);  // a block of 0 frames applies the changes

  const std::vector<uint8_t> state = plugin->State();
  EXPECT_EQ(state, Joined(vst2->Chunk(false), LittleEndian(4)));
  Vst3Instance other;
  ASSERT_EQ(other.SetState(state), kResultOk);
  EXPECT_EQ(other.State(), state);
  EXPECT_EQ(other.controller->getParamNormalized(2), static_cast<double>(vst2->GetParameter(2)));
  EXPECT_EQ(other.controller->getParamNormalized(kProgram), 4.0 / 24.0);

  // Damaged or foreign bytes are refused and change nothing.
  std::vector<std::vector<uint8_t>> refused = {
      {},
      std::vector<uint8_t>(state.begin(), state.end() - 1),
      Joined(state, {0}),
      Joined(std::vector<uint8_t>(state.begin(), state.end() - 4), LittleEndian(25)),
      Joined(std::vector<uint8_t>(state.begin(), state.end() - 4), LittleEndian(-1)),
  };
  std::vector<uint8_t> wrongMagic = state;
  wrongMagic[0] ^= 1;
  refused.push_back(wrongMagic);
  std::vector<uint8_t> badName = state;
  badName[8] = 0xFF;  // the first slot's name length
  refused.push_back(badName);
  Vst3Instance fresh;
  const std::vector<uint8_t> before = fresh.State();
  for (size_t i = 0; i < refused.size(); ++i) {
    EXPECT_EQ(fresh.SetState(refused[i]), kResultFalse) << i;
    EXPECT_EQ(fresh.State(), before) << i;
  }
}

TEST_F(Vst3ModuleTest, HandOverRecordsOfTheVst2PluginAreTaken) {
  // Program chunk, then bank chunk, each as the VST 2 module wrote it.
  vst2->Dispatch(effSetProgram, 0, 6);
  vst2->SetParameter(1, 0.12f);
  presets::PresetFile program = Record(false, true);
  program.programName = "Handed";
  program.chunk = vst2->Chunk(true);
  presets::PresetFile bank = Record(true, true);
  bank.chunk = vst2->Chunk(false);
  bank.currentProgram = 6;

  Vst3Instance fromBank;
  ASSERT_EQ(fromBank.SetState(HandOver(bank)), kResultOk);
  EXPECT_EQ(fromBank.State(), Joined(vst2->Chunk(false), LittleEndian(6)));
  EXPECT_EQ(fromBank.controller->getParamNormalized(1), static_cast<double>(vst2->GetParameter(1)));

  Vst3Instance fromProgram;
  ASSERT_EQ(fromProgram.SetState(HandOver(program, 1)), kResultOk);
  EXPECT_EQ(fromProgram.controller->getParamNormalized(1),
            static_cast<double>(vst2->GetParameter(1)));
  EXPECT_EQ(fromProgram.controller->getParamNormalized(kBypass), 1.0);

  // Parameter lists: one program, and a bank of every slot.
  presets::PresetFile values = Record(false, false);
  values.programs.push_back({"Listed", std::vector<float>(kParameters, 0.25f)});
  Vst3Instance fromValues;
  ASSERT_EQ(fromValues.SetState(HandOver(values)), kResultOk);
  Vst::IUnitInfo* units = nullptr;
  fromValues.controller->queryInterface(Vst::IUnitInfo_iid, reinterpret_cast<void**>(&units));
  Vst::String128 name{};
  units->getProgramName(1, 0, name);
  units->release();
  EXPECT_EQ(Text(name), "Listed");
  for (int32_t i = 0; i < kParameters; ++i) {
    vst2->SetParameter(i, 0.25f);
    EXPECT_EQ(fromValues.controller->getParamNormalized(i),
              static_cast<double>(vst2->GetParameter(i)));
  }
  presets::PresetFile valueBank = Record(true, false);
  for (int32_t p = 0; p < kPrograms; ++p) {
    valueBank.programs.push_back(
        {"P" + std::to_string(p), std::vector<float>(kParameters, p / 24.0f)});
  }
  valueBank.currentProgram = 24;
  Vst3Instance fromValueBank;
  ASSERT_EQ(fromValueBank.SetState(HandOver(valueBank)), kResultOk);
  EXPECT_EQ(fromValueBank.controller->getParamNormalized(3), 1.0);
  EXPECT_EQ(fromValueBank.controller->getParamNormalized(kProgram), 1.0);

  // Damaged, truncated or foreign records change nothing.
  presets::PresetFile foreign = bank;
  foreign.pluginId = 0x41424344;
  presets::PresetFile shortBank = valueBank;
  shortBank.programs.pop_back();
  shortBank.programCount = kPrograms - 1;
  presets::PresetFile cutChunk = program;
  cutChunk.chunk.pop_back();
  std::vector<std::vector<uint8_t>> refused = {HandOver(foreign), HandOver(shortBank),
                                               HandOver(cutChunk)};
  std::vector<uint8_t> truncated = HandOver(bank);
  truncated.pop_back();
  refused.push_back(truncated);
  std::vector<uint8_t> badHeader = HandOver(bank);
  badHeader[11] = 2;  // version
  refused.push_back(badHeader);
  std::vector<uint8_t> badBypass = HandOver(bank);
  badBypass[15] = 7;
  refused.push_back(badBypass);
  Vst3Instance fresh;
  const std::vector<uint8_t> before = fresh.State();
  for (size_t i = 0; i < refused.size(); ++i) {
    EXPECT_EQ(fresh.SetState(refused[i]), kResultFalse) << i;
    EXPECT_EQ(fresh.State(), before) << i;
  }
}

// Automation points at sample offsets render as the VST 2 module renders
// when the host splits its blocks there and sets the parameter in between.
template <typename Sample>
void ExpectAudioAsVst2(HostedPlugin& vst2, Vst3Instance& plugin) {
  constexpr int32_t kFrames = 3 * kBlock;
  struct Point {
    int32_t frame;
    int32_t index;
    float value;
  };
  const Point points[] = {{0, 0, 0.3f},     {37, 8, 0.5f},   {37, 2, 0.9f},   {200, 0, 0.62f},
                          {511, 5, 0.1f},   {512, 3, 0.44f}, {700, 0, 0.05f}, {1023, 7, 0.8f},
                          {1300, 1, 0.07f}, {1535, 4, 0.33f}};
  const auto in = TestSignal<Sample>(kFrames);
  auto expected = in;
  auto actual = in;
  for (auto& c : expected) std::fill(c.begin(), c.end(), Sample(0));
  for (auto& c : actual) std::fill(c.begin(), c.end(), Sample(0));

  size_t next = 0;
  for (int32_t at = 0; at < kFrames;) {
    while (next < std::size(points) && points[next].frame == at) {
      vst2.SetParameter(points[next].index, points[next].value);
      ++next;
    }
    const int32_t blockEnd = (at / kBlock + 1) * kBlock;
    const int32_t end = std::min(blockEnd, next < std::size(points) ? points[next].frame : kFrames);
    Sample* inputs[2] = {const_cast<Sample*>(in[0].data()) + at,
                         const_cast<Sample*>(in[1].data()) + at};
    Sample* outputs[2] = {expected[0].data() + at, expected[1].data() + at};
    if constexpr (sizeof(Sample) == 4) {
      vst2.Effect()->processReplacing(vst2.Effect(), inputs, outputs, end - at);
    } else {
      vst2.Effect()->processDoubleReplacing(vst2.Effect(), inputs, outputs, end - at);
    }
    at = end;
  }

  plugin.Start(kRate, kBlock, sizeof(Sample) == 4 ? Vst::kSample32 : Vst::kSample64);
  for (int32_t block = 0; block < kFrames / kBlock; ++block) {
    Changes changes;
    for (const Point& p : points) {
      if (p.frame / kBlock == block) {
        changes.Add(static_cast<ParamID>(p.index), p.frame % kBlock, p.value);
      }
    }
    ASSERT_EQ(plugin.Process(in, actual, block * kBlock, kBlock, &changes), kResultOk);
  }
  ASSERT_NE(expected, in);  // the effect did shape the signal
  for (int c = 0; c < 2; ++c) {
    for (int32_t i = 0; i < kFrames; ++i) {
      ASSERT_EQ(actual[c][i], expected[c][i]) << "channel " << c << ", frame " << i;
    }
  }
}

TEST_F(Vst3ModuleTest, SinglePrecisionAudioEqualsProcessReplacing) {
  ExpectAudioAsVst2<float>(*vst2, *plugin);
}

TEST_F(Vst3ModuleTest, DoublePrecisionAudioEqualsProcessDoubleReplacing) {
  vst2->Dispatch(effSetProcessPrecision, 0, 1);  // 64-bit
  ExpectAudioAsVst2<double>(*vst2, *plugin);
}

// Bypass fades into the input, which then passes bit for bit; the effect
// runs on underneath, so after the fade back the output is the effect's as
// if it had never been bypassed.
TEST_F(Vst3ModuleTest, BypassCrossfadesAndResumesUnchanged) {
  constexpr int32_t kFrames = 4 * kBlock;
  constexpr int32_t kFade = 441;  // 10 ms at 44.1 kHz
  const auto in = TestSignal<float>(kFrames);
  auto reference = in;
  auto out = in;
  Vst3Instance plain(false);
  plain.Start(kRate, kBlock, Vst::kSample32);
  plugin->Start(kRate, kBlock, Vst::kSample32);
  for (int32_t block = 0; block < kFrames / kBlock; ++block) {
    Changes none;
    Changes toggle;
    if (block == 0) toggle.Add(kBypass, 10, 1.0);
    if (block == 2) toggle.Add(kBypass, 100, 0.0);
    plain.Process(in, reference, block * kBlock, kBlock, &none);
    plugin->Process(in, out, block * kBlock, kBlock, &toggle);
  }
  for (int c = 0; c < 2; ++c) {
    for (int32_t i = 0; i < 10; ++i) ASSERT_EQ(out[c][i], reference[c][i]) << i;
    EXPECT_NE(out[c][10 + kFade / 2], reference[c][10 + kFade / 2]);
    EXPECT_NE(out[c][10 + kFade / 2], in[c][10 + kFade / 2]);
    for (int32_t i = 10 + kFade; i < 2 * kBlock + 100; ++i) ASSERT_EQ(out[c][i], in[c][i]) << i;
    for (int32_t i = 2 * kBlock + 100 + kFade; i < kFrames; ++i) {
      ASSERT_EQ(out[c][i], reference[c][i]) << i;
    }
  }
}

TEST_F(Vst3ModuleTest, ArrangementsTailLatencyAndSilence) {
  using Vst::SpeakerArr::kMono;
  using Vst::SpeakerArr::kStereo;
  Vst::SpeakerArrangement stereo = kStereo;
  Vst::SpeakerArrangement mono = kMono;
  Vst::SpeakerArrangement surround = Vst::SpeakerArr::k51;
  EXPECT_EQ(plugin->processor->setBusArrangements(&surround, 1, &surround, 1), kResultFalse);
  EXPECT_EQ(plugin->processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(plugin->processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  EXPECT_EQ(plugin->processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
  EXPECT_EQ(plugin->processor->getLatencySamples(), 0u);
  EXPECT_EQ(plugin->processor->getTailSamples(), Vst::kInfiniteTail);
  EXPECT_EQ(plugin->processor->canProcessSampleSize(Vst::kSample64), kResultTrue);

  plugin->Start(kRate, kBlock, Vst::kSample32);
  std::vector<std::vector<float>> silence(2, std::vector<float>(kBlock, 0.0f));
  auto out = TestSignal<float>(kBlock);
  uint64 flags = 0;
  ASSERT_EQ(plugin->Process(silence, out, 0, kBlock, nullptr, &flags), kResultOk);
  EXPECT_EQ(flags, 3u);
  const auto in = TestSignal<float>(kBlock);
  ASSERT_EQ(plugin->Process(in, out, 0, kBlock, nullptr, &flags), kResultOk);
  EXPECT_EQ(flags, 0u);
}
