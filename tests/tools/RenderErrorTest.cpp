// Every failure: a message naming the file or item and the reason, a
// non-zero exit code, and no output file (nor a temporary one) left behind.
#include "tests/tools/ToolTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using tool_test::RunRender;
using tool_test::TempFolder;

class RenderErrors : public testing::Test {
 protected:
  void SetUp() override {
    tool_test::WriteAudio(input_,
                          tool_test::MakeSignal(2, 44100, 2000, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  }

  // Runs with the given options ahead of INPUT OUTPUT and checks the common
  // promises of a failure; returns the message.
  std::string ExpectFailure(std::vector<std::string> args, const std::string& input,
                            const std::string& output, int exitCode = 1) {
    const size_t before = dir_.Entries().size();
    args.push_back(input);
    args.push_back(output);
    const tool_test::RunResult run = RunRender(args);
    EXPECT_EQ(run.exitCode, exitCode) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("render: ", 0), 0u) << run.err;
    EXPECT_FALSE(tool_test::Exists(output)) << output;
    EXPECT_EQ(dir_.Entries().size(), before) << "a file was left behind";
    return run.err;
  }

  std::string ExpectFailure(const std::vector<std::string>& args) {
    return ExpectFailure(args, input_, output_);
  }

  static std::vector<std::string> Gain(std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }

  TempFolder dir_;
  std::string input_ = dir_.Path("in.wav");
  std::string output_ = dir_.Path("out.wav");
};

using testing::HasSubstr;

TEST_F(RenderErrors, MissingOrUnreadableInput) {
  const std::string missing = dir_.Path("missing.wav");
  EXPECT_THAT(ExpectFailure(Gain(), missing, output_),
              HasSubstr("'" + missing + "': No such file or directory"));

  const std::string text = dir_.Path("text.wav");
  tool_test::WriteText(text, "this is not audio\n");
  EXPECT_THAT(ExpectFailure(Gain(), text, output_),
              HasSubstr("'" + text + "': not a readable audio file"));

  EXPECT_THAT(ExpectFailure(Gain(), dir_.Path(""), output_), HasSubstr("it is a folder"));
}

TEST_F(RenderErrors, InputWithMoreChannelsThanThePlugin) {
  const std::string six = dir_.Path("six.wav");
  tool_test::WriteAudio(six,
                        tool_test::MakeSignal(6, 44100, 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  EXPECT_THAT(ExpectFailure(Gain(), six, output_), HasSubstr("'" + six + "': it has 6 channels"));
}

TEST_F(RenderErrors, ModulesThatAreNoVstPlugins) {
  const std::string missing = dir_.Path("missing.so");
  EXPECT_THAT(ExpectFailure({"--plugin", missing}),
              HasSubstr("'" + missing + "': No such file or directory"));

  const std::string text = dir_.Path("text.so");
  tool_test::WriteText(text, "not a library");
  EXPECT_THAT(ExpectFailure({"--plugin", text}),
              HasSubstr("'" + text + "': not a loadable module"));

  EXPECT_THAT(ExpectFailure({"--plugin", DM_TEST_NOT_A_PLUGIN}),
              HasSubstr("'" DM_TEST_NOT_A_PLUGIN
                        "': not a VST 2.4 plug-in (it exports neither VSTPluginMain nor main)"));
  EXPECT_THAT(ExpectFailure({"--plugin", DM_TEST_WRONG_MAGIC_PLUGIN}),
              HasSubstr("'" DM_TEST_WRONG_MAGIC_PLUGIN
                        "': not a VST 2.4 plug-in (its record lacks the VstP magic)"));
}

TEST_F(RenderErrors, UnknownProgramOrParameter) {
  EXPECT_THAT(ExpectFailure(Gain({"--program", "Loud"})),
              HasSubstr("unknown program 'Loud' in plug-in '" DM_TEST_GAIN_PLUGIN
                        "' (it has programs 0 to 2"));
  EXPECT_THAT(ExpectFailure(Gain({"--program", "3"})), HasSubstr("unknown program '3'"));
  EXPECT_THAT(ExpectFailure(Gain({"--param", "Volume=3"})),
              HasSubstr("unknown parameter 'Volume' in plug-in '" DM_TEST_GAIN_PLUGIN "'"));
}

TEST_F(RenderErrors, ParameterValueOutOfRangeOrNotANumber) {
  EXPECT_THAT(ExpectFailure(Gain({"--param", "Gain=201"})),
              HasSubstr("value '201' for parameter 'Gain' is out of range (0 to 200 %)"));
  EXPECT_THAT(ExpectFailure(Gain({"--param", "Gain=-0.5"})),
              HasSubstr("out of range (0 to 200 %)"));
  EXPECT_THAT(ExpectFailure(Gain({"--param", "Gain=loud"})),
              HasSubstr("value 'loud' for parameter 'Gain' is not a number (range 0 to 200 %)"));
  EXPECT_THAT(ExpectFailure(Gain({"--param", "Gain=50 dB"})), HasSubstr("is not a number"));
}

TEST_F(RenderErrors, OutputThatCannotBeWritten) {
  const std::string noFolder = dir_.Path("no/such/folder/out.wav");
  EXPECT_THAT(ExpectFailure(Gain(), input_, noFolder),
              HasSubstr("'" + noFolder + "': No such file or directory"));
  EXPECT_THAT(ExpectFailure(Gain({"--encoding", "float"}), input_, dir_.Path("out.flac")),
              HasSubstr("FLAC files cannot hold float samples"));
}

TEST_F(RenderErrors, ReadOnlyFolderGetsNoFile) {
  // Permissions do not stop root; /sys takes no new files from anyone.
  TempFolder locked;
  const bool root = geteuid() == 0;
  const std::string out = root ? std::string("/sys/out.wav") : locked.Path("out.wav");
  if (!root) {
    chmod(locked.Path("").c_str(), 0500);
  }
  // The reason depends on how /sys is mounted; the non-root case knows it.
  EXPECT_THAT(ExpectFailure(Gain(), input_, out),
              HasSubstr("cannot write output '" + out + "': " + (root ? "" : "Permission denied")));
  chmod(locked.Path("").c_str(), 0700);
}

TEST_F(RenderErrors, FailedRenderKeepsAnExistingOutputFile) {
  tool_test::WriteText(output_, "previous result");
  const tool_test::RunResult run = RunRender(Gain({"--program", "Loud", input_, output_}));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(tool_test::ReadText(output_), "previous result");
  EXPECT_EQ(dir_.Entries().size(), 2u);
}

TEST_F(RenderErrors, CommandLineMistakesShowTheUsage) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--block", "0"},
                                             {"--block", "12x"},
                                             {"--frobnicate"},
                                             {"--param", "Gain"},
                                             {"--format", "mp3"}}) {
    const std::string err = ExpectFailure(args, input_, output_, 2);
    EXPECT_THAT(err, HasSubstr("Usage: render")) << args[0];
  }
  const tool_test::RunResult run = RunRender({input_});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_THAT(run.err, HasSubstr("an input and an output file are needed"));
}

}  // namespace
