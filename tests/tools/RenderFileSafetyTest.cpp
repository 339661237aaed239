// Nothing of the user's is lost: the input is replaced only when asked, an
// existing output stays the file it was (link, permissions, hard links), a
// write-protected one is kept, and a stopped render leaves nothing behind.
#include "tests/tools/ToolTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

namespace {

using testing::HasSubstr;
using tool_test::RunRender;
using tool_test::TempFolder;

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

class RenderFileSafety : public testing::Test {
 protected:
  void SetUp() override {
    tool_test::WriteAudio(input_, tool_test::MakeSignal(1, 44100, 2000, tool_test::kFloatWav));
    original_ = tool_test::ReadText(input_);
  }

  tool_test::RunResult Render(const std::string& output, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN, "--program", "Half", "-q"};
    args.insert(args.end(), more.begin(), more.end());
    args.insert(args.end(), {input_, output});
    return RunRender(args);
  }

  TempFolder dir_;
  std::string input_ = dir_.Path("in.wav");
  std::string original_;
};

TEST_F(RenderFileSafety, OutputThatIsTheInputIsRefusedUnlessForced) {
  const std::string symbolic = dir_.Path("symbolic.wav");
  const std::string hard = dir_.Path("hard.wav");
  ASSERT_EQ(symlink("in.wav", symbolic.c_str()), 0);
  ASSERT_EQ(link(input_.c_str(), hard.c_str()), 0);
  for (const std::string& output : {input_, symbolic, hard}) {
    const tool_test::RunResult run = Render(output);
    EXPECT_EQ(run.exitCode, 2) << output;
    EXPECT_THAT(run.err, HasSubstr("output '" + output + "' is the input file '" + input_ +
                                   "'; name another output file, or add --force"));
    EXPECT_EQ(tool_test::ReadText(input_), original_);
  }
  EXPECT_EQ(dir_.Entries().size(), 3u);

  // Forced through the hard link, both names hold the render.
  const tool_test::RunResult forced = Render(hard, {"--force"});
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_NE(tool_test::ReadText(input_), original_);
  EXPECT_EQ(StatOf(input_).st_ino, StatOf(hard).st_ino);
  EXPECT_EQ(tool_test::ReadAudio(input_).Frames(), 2000);
}

TEST_F(RenderFileSafety, ExistingOutputKeepsLinksAndPermissions) {
  const std::string target = dir_.Path("target.wav");
  const std::string symbolic = dir_.Path("symbolic.wav");
  const std::string hard = dir_.Path("hard.wav");
  tool_test::WriteText(target, "previous result");
  ASSERT_EQ(chmod(target.c_str(), 0600), 0);
  ASSERT_EQ(symlink("target.wav", symbolic.c_str()), 0);
  ASSERT_EQ(link(target.c_str(), hard.c_str()), 0);

  const tool_test::RunResult run = Render(symbolic);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  struct stat linkStat {};
  ASSERT_EQ(lstat(symbolic.c_str(), &linkStat), 0);
  EXPECT_TRUE(S_ISLNK(linkStat.st_mode));
  EXPECT_EQ(StatOf(target).st_mode & 0777, 0600u);
  EXPECT_EQ(StatOf(target).st_nlink, 2u);
  EXPECT_EQ(StatOf(target).st_ino, StatOf(hard).st_ino);
  EXPECT_EQ(tool_test::ReadAudio(hard).Frames(), 2000);
  EXPECT_EQ(dir_.Entries().size(), 4u);
}

TEST_F(RenderFileSafety, WriteProtectedOutputIsKeptEvenForRoot) {
  const std::string output = dir_.Path("protected.wav");
  tool_test::WriteText(output, "previous result");
  ASSERT_EQ(chmod(output.c_str(), 0444), 0);
  const tool_test::RunResult run = Render(output);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("cannot write output '" + output +
                                 "': the existing file is write-protected for you"));
  EXPECT_EQ(tool_test::ReadText(output), "previous result");
  EXPECT_EQ(dir_.Entries().size(), 2u);
}

TEST_F(RenderFileSafety, StoppedBySignalLeavesNothingAndExitsAsShellsExpect) {
  // Long enough at one frame per block that the render is still running
  // when its temporary file has appeared and the signal is sent.
  tool_test::WriteAudio(input_,
                        tool_test::MakeSignal(1, 44100, 2000000, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const std::string output = dir_.Path("out.wav");
  for (const auto& [signal, status] : {std::pair{SIGHUP, 129}, {SIGINT, 130}, {SIGTERM, 143}}) {
    const int pid =
        tool_test::StartRender({"--plugin", DM_TEST_GAIN_PLUGIN, "--block", "1", input_, output});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (dir_.Entries().size() < 2 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(pid, signal);
    EXPECT_EQ(tool_test::WaitForExit(pid), status) << signal;
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"in.wav"}) << signal;
  }
}

// Every format: a write that did not complete (here beyond the file size
// limit, as on a full disk) fails with the system's reason, and the earlier
// file stays as it was, with nothing left beside it.
TEST_F(RenderFileSafety, IncompleteWriteFailsAndKeepsTheEarlierFile) {
  tool_test::WriteAudio(input_, tool_test::MakeSignal(2, 48000, 480000, tool_test::kFloatWav));
  for (const char* name : {"out.wav", "out.aiff", "out.flac", "out.mp3", "out.ogg", "out.opus"}) {
    const std::string output = dir_.Path(name);
    tool_test::WriteText(output, "previous result");
    const tool_test::RunResult run =
        tool_test::RunProgram("prlimit", {"--fsize=20000", DM_RENDER_EXECUTABLE, "--plugin",
                                          DM_TEST_GAIN_PLUGIN, "-q", input_, output});
    EXPECT_EQ(run.exitCode, 1) << name;
    EXPECT_EQ(run.err, "render: cannot write output '" + output + "': File too large\n");
    EXPECT_EQ(tool_test::ReadText(output), "previous result");
    EXPECT_EQ(dir_.Entries().size(), 2u) << name;
    unlink(output.c_str());
  }
  // A full device says so too.
  for (const char* format : {"mp3", "ogg", "flac"}) {
    const tool_test::RunResult run = Render("/dev/full", {"--format", format});
    EXPECT_EQ(run.exitCode, 1) << format;
    EXPECT_THAT(run.err, HasSubstr("cannot write output '/dev/full': No space left on device\n"));
  }
}

// The same render twice gives the same bytes: no time stamp (the PEAK chunk
// of float WAV and AIFF), no random Ogg stream number.
TEST_F(RenderFileSafety, SameRenderGivesTheSameBytes) {
  tool_test::WriteAudio(input_, tool_test::MakeSignal(2, 48000, 4800, tool_test::kFloatWav));
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"float.wav", {"--encoding", "float"}},
      {"float.aiff", {"--encoding", "float"}},
      {"a.flac", {}},
      {"a.mp3", {}},
      {"a.ogg", {}},
      {"a.opus", {}}};
  for (const char* round : {"1-", "2-"}) {
    for (const auto& [name, options] : cases) {
      const tool_test::RunResult run = Render(dir_.Path(round + std::string(name)), options);
      EXPECT_EQ(run.exitCode, 0) << name << run.err;
    }
    // Time stamps count seconds.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  }
  for (const auto& [name, options] : cases) {
    EXPECT_EQ(tool_test::ReadText(dir_.Path("1-" + std::string(name))),
              tool_test::ReadText(dir_.Path("2-" + std::string(name))))
        << name;
  }
}

TEST_F(RenderFileSafety, StoppedBatchNamesTheFilesNeverStarted) {
  for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
    tool_test::WriteAudio(dir_.Path(name), tool_test::MakeSignal(1, 44100, 2000000,
                                                                 SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  }
  const std::string folder = dir_.Path("out");
  const std::string err = dir_.Path("err");
  const int pid =
      tool_test::StartRender({"--plugin", DM_TEST_GAIN_PLUGIN, "--block", "1", "-j", "1", "-o",
                              folder, dir_.Path("a.wav"), dir_.Path("b.wav"), dir_.Path("c.wav")},
                             err);
  const auto started = [&folder] {
    std::error_code e;
    return std::filesystem::exists(folder, e) && !std::filesystem::is_empty(folder, e);
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!started() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  kill(pid, SIGINT);
  EXPECT_EQ(tool_test::WaitForExit(pid), 130);
  EXPECT_EQ(tool_test::ReadText(err), "render: stopped by SIGINT; '" + folder +
                                          "/a.wav' was not written; never started: '" +
                                          dir_.Path("b.wav") + "', '" + dir_.Path("c.wav") + "'\n");
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
