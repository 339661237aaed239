// The render tool end to end on short generated files, against the test
// gain plug-in whose output depends on rate, block-to-block state and program.
#include "tests/tools/DirectHost.h"
#include "tests/tools/ToolTestSupport.h"
#include "tools/render/CommandLine.h"
#include "tools/render/RenderJob.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

namespace {

using tool_test::Audio;
using tool_test::kFloatWav;
using tool_test::ReadAudio;
using tool_test::RunRender;
using tool_test::TempFolder;

constexpr int64_t kFrames = 10007;  // not a multiple of any block size used

struct MatchCase {
  int channels;
  int sampleRate;
  bool useDouble;
};

std::string CaseName(const testing::TestParamInfo<MatchCase>& info) {
  return (info.param.channels == 1 ? std::string("Mono") : std::string("Stereo")) +
         std::to_string(info.param.sampleRate) + (info.param.useDouble ? "Double" : "Single");
}

class RenderMatchesDirectProcessing : public testing::TestWithParam<MatchCase> {};

TEST_P(RenderMatchesDirectProcessing, SampleForSample) {
  const MatchCase c = GetParam();
  TempFolder dir;
  const std::string inPath = dir.Path("in.wav");
  const std::string outPath = dir.Path("out.wav");
  tool_test::WriteAudio(inPath,
                        tool_test::MakeSignal(c.channels, c.sampleRate, kFrames, kFloatWav));
  const Audio in = ReadAudio(inPath);

  std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN, "--program",
                                   "Half",     "--block",           "256"};
  if (c.useDouble) {
    args.insert(args.end(), {"--double", "--encoding", "double"});
  }
  args.insert(args.end(), {inPath, outPath});
  const tool_test::RunResult run = RunRender(args);
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const Audio out = ReadAudio(outPath);
  EXPECT_GT(tool_test::PeakOf(out.samples), 0.1);  // silence on both sides would match too
  EXPECT_EQ(out.Frames(), in.Frames());
  EXPECT_EQ(out.channels, c.channels);
  EXPECT_EQ(out.sampleRate, c.sampleRate);

  direct_host::Settings s;
  s.sampleRate = c.sampleRate;
  s.program = 1;
  s.useDouble = c.useDouble;
  const std::vector<double> expected =
      direct_host::Process(DM_TEST_GAIN_PLUGIN, in.samples, c.channels, s);
  const int64_t diff = tool_test::FirstDifference(expected, out.samples, c.useDouble);
  EXPECT_EQ(diff, -1) << "expected " << expected[diff < 0 ? 0 : diff] << " got "
                      << out.samples[diff < 0 ? 0 : diff];
}

INSTANTIATE_TEST_SUITE_P(ChannelsRatesPrecision, RenderMatchesDirectProcessing,
                         testing::Values(MatchCase{1, 44100, false}, MatchCase{2, 44100, false},
                                         MatchCase{1, 48000, false}, MatchCase{2, 48000, false},
                                         MatchCase{1, 96000, false}, MatchCase{2, 96000, false},
                                         MatchCase{1, 48000, true}, MatchCase{2, 96000, true}),
                         CaseName);

// Output container and encoding: kept from the input, or changed by name or
// option; rate and length always kept.
struct FormatCase {
  const char* inName;
  int inFormat;
  const char* outName;
  std::vector<std::string> options;
  int expectedFormat;
};

class RenderOutputFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(RenderOutputFormat, FollowsInputUnlessAskedOtherwise) {
  const FormatCase& c = GetParam();
  TempFolder dir;
  const std::string inPath = dir.Path(c.inName);
  tool_test::WriteAudio(inPath, tool_test::MakeSignal(2, 48000, 4000, c.inFormat));
  std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.insert(args.end(), {inPath, dir.Path(c.outName)});
  const tool_test::RunResult run = RunRender(args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Audio out = ReadAudio(dir.Path(c.outName));
  EXPECT_EQ(out.format, c.expectedFormat);
  EXPECT_EQ(out.sampleRate, 48000);
  EXPECT_EQ(out.Frames(), 4000);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RenderOutputFormat,
    testing::Values(FormatCase{"a.wav",
                               SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                               "b.wav",
                               {},
                               SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                    FormatCase{"a.flac",
                               SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
                               "b.flac",
                               {},
                               SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
                    FormatCase{"a.aiff",
                               SF_FORMAT_AIFF | SF_FORMAT_PCM_16,
                               "b.aiff",
                               {},
                               SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
                    // Named by extension; FLAC has no floats, so 24-bit.
                    FormatCase{"a.wav", kFloatWav, "b.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
                    // An unknown extension keeps the input's container.
                    FormatCase{"a.wav",
                               SF_FORMAT_WAV | SF_FORMAT_PCM_24,
                               "b.out",
                               {},
                               SF_FORMAT_WAV | SF_FORMAT_PCM_24},
                    // Float data gets the extensible header other tools expect.
                    FormatCase{"a.wav",
                               SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                               "b.wav",
                               {"--encoding", "float"},
                               SF_FORMAT_WAVEX | SF_FORMAT_FLOAT},
                    FormatCase{"a.wav",
                               SF_FORMAT_WAVEX | SF_FORMAT_PCM_24,
                               "b.WAV",
                               {"--format", "WAV"},
                               SF_FORMAT_WAVEX | SF_FORMAT_PCM_24},
                    FormatCase{"a.flac",
                               SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                               "b.mp3",
                               {},
                               SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
                    FormatCase{"a.wav",
                               SF_FORMAT_RF64 | SF_FORMAT_PCM_24,
                               "b.wav",
                               {},
                               SF_FORMAT_RF64 | SF_FORMAT_PCM_24},
                    FormatCase{"a.wav", kFloatWav, "b.ogg", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                    FormatCase{"a.wav", kFloatWav, "b.opus", {}, SF_FORMAT_OGG | SF_FORMAT_OPUS},
                    FormatCase{"a.flac",
                               SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                               "b.x",
                               {"--format", "aiff", "--encoding", "pcm24"},
                               SF_FORMAT_AIFF | SF_FORMAT_PCM_24}));

TEST(RenderTool, ParameterOverridesProgramAndLeavesNoTemporaryFiles) {
  TempFolder dir;
  Audio in = tool_test::MakeSignal(1, 44100, 3000, kFloatWav);
  tool_test::WriteAudio(dir.Path("in.wav"), in);
  in = ReadAudio(dir.Path("in.wav"));
  const tool_test::RunResult run =
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "--program", "double gain", "--param",
                 "gain=25 %", "--quiet", dir.Path("in.wav"), dir.Path("out.wav")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");  // --quiet
  // Gain 25 %, a = 0.5: y[1] = 0.25 * (x[1] + 0.5 * x[0]).
  const Audio out = ReadAudio(dir.Path("out.wav"));
  ASSERT_EQ(out.Frames(), 3000);
  EXPECT_FLOAT_EQ(out.samples[1], 0.25 * (in.samples[1] + 0.5 * in.samples[0]));
  EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST(RenderTool, SummaryReportsLevelsOfTheOutput) {
  TempFolder dir;
  // A constant 0.5: the plug-in at unity gives 0.5 * 1.5 = 0.75 after the
  // first sample, so peak and RMS are close to 20 log10(0.75) = -2.50 dBFS.
  Audio in;
  in.channels = 1;
  in.sampleRate = 44100;
  in.format = kFloatWav;
  in.samples.assign(44100, 0.5);
  tool_test::WriteAudio(dir.Path("in.wav"), in);
  const tool_test::RunResult run =
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, dir.Path("in.wav"), dir.Path("out.wav")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(
      run.out.find(" (WAV 32-bit float): 1.00 s mono 44100 Hz, peak -2.50 dBFS, RMS -2.50 dBFS"),
      std::string::npos)
      << run.out;
  // The wall clock's factor, then the plug-in's alone; then the module used.
  EXPECT_THAT(run.out, testing::MatchesRegex(".*, [0-9]+x real time \\(plug-in alone [0-9]+x\\)\n"
                                             "  plug-in: " DM_TEST_GAIN_PLUGIN "\n"));
}

TEST(RenderTool, SamplesOverFullScaleAreCountedAndClippedOnlyInIntegerFiles) {
  TempFolder dir;
  // A constant 0.8 at unity gives 0.8 and then 0.8 * 1.5 = 1.2 (+1.58 dBFS)
  // for the other 999 samples.
  Audio in;
  in.channels = 1;
  in.sampleRate = 44100;
  in.format = kFloatWav;
  in.samples.assign(1000, 0.8);
  tool_test::WriteAudio(dir.Path("in.wav"), in);
  const tool_test::RunResult kept =
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, dir.Path("in.wav"), dir.Path("float.wav")});
  ASSERT_EQ(kept.exitCode, 0) << kept.err;
  EXPECT_NE(kept.out.find("peak 1.58 dBFS"), std::string::npos) << kept.out;
  EXPECT_NE(kept.out.find("999 samples over full scale"), std::string::npos) << kept.out;
  EXPECT_EQ(kept.err, "");
  EXPECT_FLOAT_EQ(ReadAudio(dir.Path("float.wav")).samples[500], 1.2f);

  const tool_test::RunResult clipped =
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "--encoding", "pcm16", dir.Path("in.wav"),
                 dir.Path("int.wav")});
  ASSERT_EQ(clipped.exitCode, 0) << clipped.err;
  EXPECT_NE(clipped.err.find("999 samples beyond full scale were clipped"), std::string::npos)
      << clipped.err;
  EXPECT_NE(clipped.out.find("999 samples over full scale (clipped)"), std::string::npos)
      << clipped.out;
  // Clipped to full scale rather than wrapped around to negative values.
  EXPECT_GT(ReadAudio(dir.Path("int.wav")).samples[500], 0.99);
}

TEST(RenderTool, ListShowsProgramsAndParametersWithRanges) {
  const tool_test::RunResult run =
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "--program", "2", "--list"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Test Gain by Test Vendor"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("    0  Unity"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" *   2  Double Gain"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Gain  0 to 200 %"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("200 %\n"), std::string::npos) << run.out;  // the current value
}

TEST(RenderTool, TextTagsOfTheInputAreKept) {
  TempFolder dir;
  Audio in = tool_test::MakeSignal(2, 44100, 1000, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  in.tags = {{SF_STR_TITLE, "Take 3"}, {SF_STR_ARTIST, "The Band"}, {SF_STR_COMMENT, "dry"}};
  tool_test::WriteAudio(dir.Path("in.wav"), in);
  for (const char* name : {"out.wav", "out.flac"}) {
    const tool_test::RunResult run =
        RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "-q", dir.Path("in.wav"), dir.Path(name)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadAudio(dir.Path(name)).tags, in.tags) << name;
  }
}

// A sine of 0.3 steps (0.45 after the test plug-in) of 16-bit PCM: rounding alone makes it silence,
// TPDF dither keeps it in the noise (the output's projection onto the sine is the sine's own
// amplitude). 24-bit output is rounded, sample for sample.
TEST(RenderTool, DitherKeepsQuietSignalsIn16BitAndRounding24Bit) {
  TempFolder dir;
  Audio in;
  in.channels = 1;
  in.sampleRate = 44100;
  in.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  for (int i = 0; i < 44100; ++i) {
    in.samples.push_back(0.3 / 32768.0 * std::sin(2.0 * M_PI * 441.0 * i / 44100.0));
  }
  tool_test::WriteAudio(dir.Path("in.wav"), in);
  direct_host::Settings s;
  s.useDouble = true;
  const std::vector<double> expected = direct_host::Process(DM_TEST_GAIN_PLUGIN, in.samples, 1, s);
  const auto render = [&](const std::string& name, std::vector<std::string> options) {
    std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN, "--double", "-q"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {dir.Path("in.wav"), dir.Path(name)});
    const tool_test::RunResult run = RunRender(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return ReadAudio(dir.Path(name)).samples;
  };
  const auto projection = [&expected](const std::vector<double>& out) {
    double along = 0.0;
    double norm = 0.0;
    for (size_t i = 0; i < expected.size() && i < out.size(); ++i) {
      along += out[i] * expected[i];
      norm += expected[i] * expected[i];
    }
    return along / norm;
  };
  const std::vector<double> rounded =
      render("none.wav", {"--encoding", "pcm16", "--dither", "none"});
  EXPECT_EQ(tool_test::PeakOf(rounded), 0.0);
  EXPECT_NEAR(projection(render("tpdf.wav", {"--encoding", "pcm16"})), 1.0, 0.05);

  const std::vector<double> wide = render("24.wav", {"--encoding", "pcm24"});
  ASSERT_EQ(wide.size(), expected.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    ASSERT_EQ(wide[i], std::floor(expected[i] * 8388608.0 + 0.5) / 8388608.0) << i;
  }
}

// The file is read and written in large pieces, not once per block: a
// render of 20000 frames one frame per block makes a handful of system calls.
TEST(RenderTool, FileAccessIsIndependentOfTheBlockSize) {
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"), tool_test::MakeSignal(2, 44100, 20000, kFloatWav));
  render::RenderOptions options;
  options.pluginPath = DM_TEST_GAIN_PLUGIN;
  options.blockSize = 1;
  options.quiet = true;
  options.input = dir.Path("in.wav");
  options.output = dir.Path("out.wav");
  const auto systemCalls = [] {
    const std::string io = tool_test::ReadText("/proc/self/io");
    const auto count = [&io](const std::string& key) {
      return std::stoll(io.substr(io.find(key) + key.size()));
    };
    return count("syscr: ") + count("syscw: ");
  };
  const long long before = systemCalls();
  render::RunRenderJob(options, stdout);
  EXPECT_LT(systemCalls() - before, 200);
  EXPECT_EQ(ReadAudio(dir.Path("out.wav")).Frames(), 20000);
}

// A batch writes one output per input under its name, goes on after a file
// that fails, names it, and ends with status 1.
TEST(RenderTool, BatchRendersTheGoodFilesAndReportsTheBadOne) {
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("a.wav"), tool_test::MakeSignal(2, 44100, 1000, kFloatWav));
  tool_test::WriteText(dir.Path("b.wav"), "not audio");
  tool_test::WriteAudio(dir.Path("c.aiff"),
                        tool_test::MakeSignal(1, 48000, 500, SF_FORMAT_AIFF | SF_FORMAT_PCM_24));
  const std::string folder = dir.Path("out");
  const tool_test::RunResult run =
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "-o", folder, dir.Path("a.wav"),
                 dir.Path("b.wav"), dir.Path("c.aiff")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, testing::HasSubstr("cannot read input '" + dir.Path("b.wav") + "'"));
  EXPECT_THAT(run.err, testing::EndsWith("1 of 3 files failed: '" + dir.Path("b.wav") + "'\n"));
  EXPECT_EQ(ReadAudio(folder + "/a.wav").Frames(), 1000);
  EXPECT_EQ(ReadAudio(folder + "/c.aiff").Frames(), 500);
  EXPECT_FALSE(tool_test::Exists(folder + "/b.wav"));
  // Two inputs of one name would write one output: refused before any work.
  const tool_test::RunResult clash = RunRender(
      {"--plugin", DM_TEST_GAIN_PLUGIN, "-o", folder, dir.Path("a.wav"), folder + "/a.wav"});
  EXPECT_EQ(clash.exitCode, 2);
  EXPECT_THAT(clash.err, testing::HasSubstr("would both be written to '" + folder + "/a.wav'"));
}

// A file refused for its rate or because its output would replace it is one
// failure among the others, on one worker or two; the output folder is made
// with the folders above it. A mistake about every file stops the batch
// before any work.
TEST(RenderTool, BatchRendersWhatItCanAndNamesTheRest) {
  TempFolder dir;
  for (const auto& [name, rate] :
       {std::pair{"a48.wav", 48000}, {"b44.wav", 44100}, {"c48.wav", 48000}, {"d96.wav", 96000}}) {
    tool_test::WriteAudio(dir.Path(name), tool_test::MakeSignal(2, rate, 960, kFloatWav));
  }
  ASSERT_EQ(mkdir(dir.Path("mixed").c_str(), 0777), 0);
  tool_test::WriteAudio(dir.Path("mixed/e48.wav"), tool_test::MakeSignal(2, 48000, 960, kFloatWav));
  struct Case {
    std::vector<std::string> options;
    std::string folder;
    std::vector<std::string> inputs;
    std::vector<std::string> failing;
  };
  const Case cases[] = {
      {{"--format", "opus"}, "opus/made/here", {"a48.wav", "b44.wav", "c48.wav"}, {"b44.wav"}},
      {{"--format", "mp3"}, "mp3", {"d96.wav", "a48.wav"}, {"d96.wav"}},
      {{}, "mixed", {"a48.wav", "mixed/e48.wav"}, {"mixed/e48.wav"}},
  };
  for (const char* jobs : {"1", "2"}) {
    for (const Case& c : cases) {
      const std::string folder = dir.Path(c.folder);
      std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN, "-j", jobs, "-o", folder};
      args.insert(args.end(), c.options.begin(), c.options.end());
      std::string failed;
      for (const std::string& input : c.inputs) {
        args.push_back(dir.Path(input));
        const bool fails = std::count(c.failing.begin(), c.failing.end(), input) > 0;
        failed += fails ? (failed.empty() ? "'" : ", '") + dir.Path(input) + "'" : "";
      }
      const tool_test::RunResult run = RunRender(args);
      EXPECT_EQ(run.exitCode, 1) << c.folder;
      EXPECT_THAT(run.err, testing::EndsWith(std::to_string(c.failing.size()) + " of " +
                                             std::to_string(c.inputs.size()) +
                                             " files failed: " + failed + "\n"));
      // One whole summary per file rendered: its line and the plug-in's.
      EXPECT_THAT(run.out, testing::MatchesRegex("(" + folder +
                                                 "/[^\n]*real time[^\n]*\n  plug-in: [^\n]*\n)+"));
      EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'),
                2 * static_cast<std::ptrdiff_t>(c.inputs.size() - c.failing.size()));
    }
    EXPECT_EQ(ReadAudio(dir.Path("opus/made/here/c48.opus")).Frames(), 960);
    EXPECT_EQ(ReadAudio(dir.Path("mixed/e48.wav")).format, kFloatWav);
  }
  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{"--format", "flac", "--encoding", "float"},
        {"--program", "Loud"}}) {
    std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN, "-o", dir.Path("never")};
    args.insert(args.end(), wrong.begin(), wrong.end());
    args.push_back(dir.Path("a48.wav"));
    EXPECT_EQ(RunRender(args).exitCode, 2) << wrong[0];
    EXPECT_FALSE(tool_test::Exists(dir.Path("never")));
  }
}

}  // namespace
