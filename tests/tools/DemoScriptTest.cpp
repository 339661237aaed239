// scripts/demo with a user's file: it never loses the file, even one inside
// the folder it clears, it says in what format the renders are and how many
// samples each one clipped, and it adds the input's row, the transfer curves
// and copies of the renders at the input's loudness. Its plots mark where the
// plug-in went over full scale even where the file had to clip, and its page
// links only files that are there.
#include "tests/tools/ToolTestSupport.h"
#include "tools/demo/AudioFile.h"
#include "tools/demo/Loudness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace {

using testing::HasSubstr;

TEST(DemoScript, KeepsAnInputInsideItsFolderAndReportsFormatAndClipping) {
  if (std::system("command -v gnuplot >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "gnuplot is missing (scripts/setup installs it)";
  }
  tool_test::TempFolder dir;
  const std::string out = dir.Path("demo");
  const std::string input = out + "/08-kick.wav";
  ASSERT_EQ(std::system(("mkdir -p '" + out + "' && touch '" + out + "/.duomangler-demo'").c_str()),
            0);
  tool_test::WriteAudio(input,
                        tool_test::MakeSignal(2, 44100, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const std::string original = tool_test::ReadText(input);

  const tool_test::RunResult run = tool_test::RunProgram(
      DM_SOURCE_DIR "/scripts/demo", {"--build", DM_BUILD_DIR, "--out", out, input});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(tool_test::ReadText(out + "/input.wav"), original);
  EXPECT_THAT(run.out, HasSubstr("Clipped  Written as"));
  EXPECT_THAT(run.out, testing::ContainsRegex(" [1-9][0-9]*  WAV 16-bit PCM, TPDF dither\n"));
  const std::string page = tool_test::ReadText(out + "/index.html");
  EXPECT_THAT(page, HasSubstr("The renders are WAV 16-bit PCM, TPDF dither, like the input;"));
  EXPECT_THAT(page, testing::ContainsRegex("[1-9][0-9]* samples clipped</p>"));
  EXPECT_THAT(page, HasSubstr("<td class=\"n\">in</td><td>Input</td>"));
  EXPECT_THAT(tool_test::ReadText(out + "/data/08-kick.transfer"),
              testing::MatchesRegex("(-?[0-9.]+ -?[0-9.]+ -?[0-9.]+\n){61}"));
  // A 16-bit file clips, but the plot data come from the plug-in's output.
  int overMarks = 0;
  for (const auto& entry : std::filesystem::directory_iterator(out + "/data")) {
    if (entry.path().extension() != ".stats" || entry.path().stem() == "input") continue;
    std::ifstream stats(entry.path());
    std::string peak, rms, lufs;
    int overs = 0;
    stats >> peak >> rms >> lufs >> overs;
    std::filesystem::path marks = entry.path();
    if (overs > 0 && std::filesystem::file_size(marks.replace_extension(".overs")) > 0) ++overMarks;
  }
  EXPECT_GT(overMarks, 0) << "no plot marks a sample over full scale";
  // The user's file gets the mode of every other file the demo writes.
  struct stat copied = {};
  struct stat rendered = {};
  ASSERT_EQ(stat((out + "/input.wav").c_str(), &copied), 0);
  ASSERT_EQ(stat((out + "/00-default.wav").c_str(), &rendered), 0);
  EXPECT_EQ(copied.st_mode & 0777, rendered.st_mode & 0777);
  const std::regex link("(?:src|href)=\"([^\"#:]+)\"");
  for (std::sregex_iterator m(page.begin(), page.end(), link), end; m != end; ++m) {
    EXPECT_TRUE(std::filesystem::exists(out + "/" + (*m)[1].str())) << "a broken link: " << (*m)[1];
  }
  demo::AudioData in, matched;
  ASSERT_TRUE(demo::ReadAudioFile(out + "/input.wav", "test", in));
  ASSERT_TRUE(demo::ReadAudioFile(out + "/08-kick-matched.wav", "test", matched));
  EXPECT_NEAR(demo::IntegratedLoudness(matched.samples, 2, 44100),
              demo::IntegratedLoudness(in.samples, 2, 44100), 0.05);
  std::system(("rm -rf '" + out + "'").c_str());
}

}  // namespace
