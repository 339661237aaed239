// The render tool with the real duoMangler module.
#include "tests/tools/DirectHost.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>

namespace {

using tool_test::Audio;
using tool_test::kFloatWav;
using tool_test::ReadAudio;
using tool_test::RunRender;
using tool_test::TempFolder;

constexpr int32_t kKick = 8;

struct DuoCase {
  int channels;
  int sampleRate;
  bool useDouble;
};

class DuoManglerRender : public testing::TestWithParam<DuoCase> {};

TEST_P(DuoManglerRender, MatchesDirectProcessingOfTheKickProgram) {
  const DuoCase c = GetParam();
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"),
                        tool_test::MakeSignal(c.channels, c.sampleRate, 9001, kFloatWav));
  const Audio in = ReadAudio(dir.Path("in.wav"));
  std::vector<std::string> args = {
      "--plugin", DM_DUO_MANGLER_PLUGIN, "--program", "Kick", "--block", "300"};
  if (c.useDouble) {
    args.insert(args.end(), {"--double", "--encoding", "double"});
  }
  args.insert(args.end(), {dir.Path("in.wav"), dir.Path("out.wav")});
  const tool_test::RunResult run = RunRender(args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Audio out = ReadAudio(dir.Path("out.wav"));
  ASSERT_EQ(out.Frames(), in.Frames());
  ASSERT_EQ(out.channels, c.channels);
  EXPECT_GT(tool_test::PeakOf(out.samples), 0.1);  // silence on both sides would match too

  direct_host::Settings s;
  s.sampleRate = c.sampleRate;
  s.program = kKick;
  s.useDouble = c.useDouble;
  const std::vector<double> expected =
      direct_host::Process(DM_DUO_MANGLER_PLUGIN, in.samples, c.channels, s);
  ASSERT_EQ(expected.size(), out.samples.size());
  EXPECT_EQ(tool_test::FirstDifference(expected, out.samples, c.useDouble), -1);
}

INSTANTIATE_TEST_SUITE_P(Configurations, DuoManglerRender,
                         testing::Values(DuoCase{2, 44100, false}, DuoCase{1, 48000, false},
                                         DuoCase{2, 96000, true}, DuoCase{1, 44100, true}));

TEST(DuoManglerRenderTool, ParametersSetByValueGiveTheProgramsSound) {
  // "Kick" differs from the default program in Split Freq 3000, Low Drive 60,
  // Low Gain 40, Low Round 31 and High Gain 10; set those by value instead.
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"), tool_test::MakeSignal(2, 44100, 5000, kFloatWav));
  const tool_test::RunResult byProgram =
      RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--program", "kick", dir.Path("in.wav"),
                 dir.Path("program.wav")});
  const tool_test::RunResult byValues =
      RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--program", "0", "--param", "Split Freq=3000",
                 "--param", "low drive=60", "--param", "Low Gain=40 %", "--param", "4=31",
                 "--param", "High Gain=10", dir.Path("in.wav"), dir.Path("values.wav")});
  ASSERT_EQ(byProgram.exitCode, 0) << byProgram.err;
  ASSERT_EQ(byValues.exitCode, 0) << byValues.err;
  EXPECT_EQ(ReadAudio(dir.Path("program.wav")).samples, ReadAudio(dir.Path("values.wav")).samples);
}

TEST(DuoManglerRenderTool, ListShowsFactoryProgramsAndParameterRanges) {
  const tool_test::RunResult run = RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--list"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("duoMangler by Qovak, version 1.0.0, 2 in / 2 out"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Programs (25, * = current)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" *   0  ---- default ----\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("    8  Kick\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("   13  Lead\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("   14  - 15 -\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Split Freq  20 to 20000 Hz        1000 Hz\n"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Mix         0 to 100 %            90 %\n"), std::string::npos) << run.out;
}

TEST(DuoManglerRenderTool, ValueOutsideTheRangeIsRefused) {
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"), tool_test::MakeSignal(2, 44100, 100, kFloatWav));
  const tool_test::RunResult run =
      RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--param", "Split Freq=50000",
                 dir.Path("in.wav"), dir.Path("out.wav")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(
      run.err.find("value '50000' for parameter 'Split Freq' is out of range (20 to 20000 Hz)"),
      std::string::npos)
      << run.err;
  EXPECT_FALSE(tool_test::Exists(dir.Path("out.wav")));
}

}  // namespace
