// What the render tool says about a render that succeeded with flaws: on
// standard error, whether or not -q hides the summary.
#include "tests/tools/ToolTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <unistd.h>

#include <cmath>
#include <functional>

namespace {

using testing::HasSubstr;
using tool_test::Audio;
using tool_test::kFloatWav;
using tool_test::RunRender;
using tool_test::TempFolder;

Audio Constant(double value, int64_t frames, int format = kFloatWav) {
  Audio a;
  a.channels = 1;
  a.sampleRate = 44100;
  a.format = format;
  a.samples.assign(static_cast<size_t>(frames), value);
  return a;
}

// One second of 16-bit mono whose file is cut after a tenth of it.
void WriteCutShort(const std::string& path) {
  tool_test::WriteAudio(path, Constant(0.25, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  ASSERT_EQ(truncate(path.c_str(), 44 + 4410 * 2), 0);
}

struct WarningCase {
  const char* name;
  std::function<void(const std::string&)> writeInput;
  std::vector<std::string> options;
  std::string warning;  // {out} and {in} stand for the file names
};

std::string WithNames(std::string text, const std::string& in, const std::string& out) {
  for (const auto& [key, name] : {std::pair{std::string("{in}"), in}, {"{out}", out}}) {
    for (size_t at; (at = text.find(key)) != std::string::npos;) {
      text.replace(at, key.size(), name);
    }
  }
  return text;
}

TEST(RenderWarnings, ReachStandardErrorEvenWhenQuiet) {
  Audio withNan = Constant(0.25, 1000);
  withNan.samples[100] = NAN;
  const WarningCase cases[] = {
      // The test plug-in turns a constant 0.8 into 1.2 after the first sample.
      {"clipping",
       [](const std::string& p) { tool_test::WriteAudio(p, Constant(0.8, 1000)); },
       {"--encoding", "pcm16"},
       "render: 999 samples beyond full scale were clipped in '{out}' (WAV 16-bit PCM); a float "
       "encoding (--format wav --encoding float) keeps them\n"},
      {"cut short",
       WriteCutShort,
       {},
       "render: input '{in}' is cut short: its header promises 1.00 s, its data holds 0.10 s, "
       "which were rendered\n"},
      {"non-finite",
       [&withNan](const std::string& p) { tool_test::WriteAudio(p, withNan); },
       {"--encoding", "pcm24"},
       "render: input '{in}' holds 1 NaN or infinite sample, at 0.002 s (frame 100, "
       "channel 1)\nrender: the plug-in produced 2 NaN or infinite samples, the first at 0.002 s "
       "(frame 100, channel 1); they were written as 0 to '{out}' (WAV 24-bit PCM)\n"},
      {"fraction",
       [](const std::string& p) { tool_test::WriteAudio(p, Constant(0.25, 1000)); },
       {"--param", "Gain=0.5"},
       "render: note: values are in display units: Gain=0.5 asks for 0.5 %, not 100 %\n"
       "render: Gain is 0 %, the nearest value it has to 0.5\n"},
      {"empty",
       [](const std::string& p) { tool_test::WriteAudio(p, Constant(0.25, 0)); },
       {},
       "render: input '{in}' holds no audio (0 frames): '{out}' is empty\n"},
  };
  for (const WarningCase& c : cases) {
    TempFolder dir;
    const std::string in = dir.Path("in.wav");
    const std::string out = dir.Path("out.wav");
    c.writeInput(in);
    std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN, "-q"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.insert(args.end(), {in, out});
    const tool_test::RunResult run = RunRender(args);
    EXPECT_EQ(run.exitCode, 0) << c.name << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.name;
    EXPECT_EQ(run.err, WithNames(c.warning, in, out)) << c.name;
  }
}

TEST(RenderWarnings, NonFiniteSamplesBecomeZeroInIntegerFilesAndStayOutOfTheLevels) {
  TempFolder dir;
  Audio in = Constant(0.25, 1000);
  in.samples[100] = INFINITY;
  tool_test::WriteAudio(dir.Path("in.wav"), in);
  for (const auto& [name, encoding] : {std::pair{"int.wav", "pcm16"}, {"float.wav", "float"}}) {
    const tool_test::RunResult run = RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "--encoding",
                                                encoding, dir.Path("in.wav"), dir.Path(name)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // 0.25 * 1.5 everywhere else.
    EXPECT_THAT(run.out, HasSubstr("peak -8.52 dBFS, RMS -8.52 dBFS")) << run.out;
    const Audio out = tool_test::ReadAudio(dir.Path(name));
    EXPECT_EQ(std::isfinite(out.samples[100]), std::string(encoding) == "pcm16") << encoding;
  }
  // Written as 0 plus the dither's one step at most.
  EXPECT_LE(std::fabs(tool_test::ReadAudio(dir.Path("int.wav")).samples[101]), 1.0 / 32768.0);
  EXPECT_THAT(
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "-q", dir.Path("in.wav"), dir.Path("again.wav")})
          .err,
      HasSubstr("they are kept in '" + dir.Path("again.wav") + "' (WAV 32-bit float)"));
}

}  // namespace
