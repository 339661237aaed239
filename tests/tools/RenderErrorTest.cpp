// Every failure: a message naming the file or item and the reason, a
// non-zero exit code, and no output file (nor a temporary one) left behind.
#include "tests/tools/ToolTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>
#include <unistd.h>

#include <unistd.h>
#include <algorithm>

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

  const std::string windows = dir_.Path("duoMangler.dll");
  tool_test::WriteText(windows, std::string("MZ\x90\0\3\0\0\0", 8));
  EXPECT_THAT(
      ExpectFailure({"--plugin", windows}),
      HasSubstr("'" + windows + "': it is a Windows module; render loads Linux VST 2.4 modules"));

  EXPECT_THAT(ExpectFailure({"--plugin", DM_TEST_NOT_A_PLUGIN}),
              HasSubstr("'" DM_TEST_NOT_A_PLUGIN
                        "': not a VST 2.4 plug-in (it exports neither VSTPluginMain nor main)"));
  EXPECT_THAT(ExpectFailure({"--plugin", DM_TEST_WRONG_MAGIC_PLUGIN}),
              HasSubstr("'" DM_TEST_WRONG_MAGIC_PLUGIN
                        "': not a VST 2.4 plug-in (its record lacks the VstP magic)"));
}

// Names and values the plug-in does not have are mistakes on the command
// line: status 2, one line, and the pointer to --help.
TEST_F(RenderErrors, UnknownNamesAndUnusableValuesAreCommandLineMistakes) {
  struct Case {
    std::vector<std::string> options;
    std::string message;
  };
  const Case cases[] = {
      {{"--program", "Loud"},
       "unknown program 'Loud' in plug-in '" DM_TEST_GAIN_PLUGIN "' (it has programs 0 to 2"},
      {{"--program", "3"}, "unknown program '3'"},
      {{"--param", "Volume=3"}, "unknown parameter 'Volume' in plug-in '" DM_TEST_GAIN_PLUGIN "'"},
      {{"--param", "Gain=201"}, "value '201' for parameter 'Gain' is out of range (0 to 200 %)"},
      {{"--param", "Gain=-0.5"}, "out of range (0 to 200 %)"},
      {{"--param", "Gain=loud"},
       "value 'loud' for parameter 'Gain' is not a decimal number (range 0 to 200 %)"},
      {{"--param", "Gain=0x50"}, "value '0x50' for parameter 'Gain' is not a decimal number"},
      {{"--param", "Gain=1e2"}, "value '1e2' for parameter 'Gain' is not a decimal number"},
      {{"--param", "Gain=nan"}, "is not a decimal number"},
      {{"--param", "Gain=50 dB"},
       "value '50 dB' for parameter 'Gain' has the wrong unit: Gain is in %"},
  };
  for (const Case& c : cases) {
    const std::string err = ExpectFailure(Gain(c.options), input_, output_, 2);
    EXPECT_THAT(err, HasSubstr(c.message)) << c.options[1];
    EXPECT_THAT(err, testing::EndsWith("\nsee render --help\n")) << c.options[1];
  }
}

TEST_F(RenderErrors, OutputThatCannotBeWritten) {
  const std::string noFolder = dir_.Path("no/such/folder/out.wav");
  EXPECT_THAT(ExpectFailure(Gain(), input_, noFolder),
              HasSubstr("'" + noFolder + "': No such file or directory"));
  const std::string link = dir_.Path("dangling.wav");
  ASSERT_EQ(symlink("nowhere.wav", link.c_str()), 0);
  EXPECT_THAT(
      ExpectFailure(Gain(), input_, link),
      HasSubstr("'" + link + "': it is a symbolic link to 'nowhere.wav', which does not exist"));
  unlink(link.c_str());
}

// Outputs are put in place once complete, so a stream cannot be one: "-"
// names no file, and /dev/stdout into a pipe is a pipe.
TEST_F(RenderErrors, StandardOutputIsRefused) {
  EXPECT_THAT(ExpectFailure(Gain(), input_, "-", 2),
              HasSubstr("cannot write output '-': render writes files, not standard output; name "
                        "a file (./- for a file named '-')"));
  const tool_test::RunResult piped = tool_test::RunProgram(
      "/bin/bash", {"-c", "'" DM_RENDER_EXECUTABLE "' --plugin '" DM_TEST_GAIN_PLUGIN "' '" +
                              input_ + "' /dev/stdout | cat >/dev/null; exit ${PIPESTATUS[0]}"});
  EXPECT_EQ(piped.exitCode, 1);
  EXPECT_EQ(piped.err,
            "render: cannot write output '/dev/stdout': it is a pipe or socket, and render writes "
            "only files (each put in place once complete), not streams: name a file\n");
}

// Formats: never one format under another's name, nor an encoding or rate the
// format cannot hold.
TEST_F(RenderErrors, FormatMismatchesAreCommandLineMistakes) {
  struct Case {
    std::vector<std::string> options;
    const char* output;
    std::string message;
  };
  const Case cases[] = {
      {{"--encoding", "float"}, "out.flac", "': FLAC files cannot hold float samples"},
      {{}, "out.m4a", "': render does not write .m4a files"},
      {{}, "out.au", "': render does not write .au files"},
      {{"--format", "wav"}, "out.mp3", "' as WAV: its extension names MP3"},
      {{"--encoding", "pcm16"}, "out.ogg", "': Ogg Vorbis files cannot hold pcm16 samples"},
      {{},
       "out.opus",
       "': Ogg Opus files hold only 8000, 12000, 16000, 24000, 48000 Hz, the input "
       "has 44100 Hz"},
  };
  for (const Case& c : cases) {
    const std::string out = dir_.Path(c.output);
    EXPECT_THAT(ExpectFailure(Gain(c.options), input_, out, 2),
                HasSubstr("cannot write output '" + out + c.message))
        << c.output;
  }
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
  const std::string folder = out.substr(0, out.rfind('/'));
  EXPECT_THAT(ExpectFailure(Gain(), input_, out),
              HasSubstr("cannot write output '" + out + "': folder '" + folder +
                        "' takes no new files (" + (root ? "" : "Permission denied)")));
  chmod(locked.Path("").c_str(), 0700);
}

TEST_F(RenderErrors, FailedRenderKeepsAnExistingOutputFile) {
  tool_test::WriteText(output_, "previous result");
  const tool_test::RunResult run = RunRender(Gain({"--program", "Loud", input_, output_}));
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(tool_test::ReadText(output_), "previous result");
  EXPECT_EQ(dir_.Entries().size(), 2u);
}

TEST_F(RenderErrors, CommandLineMistakesGiveOneLineAndThePointerToHelp) {
  const std::vector<std::string> cases[] = {
      {"--block", "0"},    {"--block", "12x"},      {"--frobnicate"},    {"--param", "Gain"},
      {"--format", "mp4"}, {"--encoding", "pcm12"}, {"--dither", "rect"}};
  for (const std::vector<std::string>& args : cases) {
    const std::string err = ExpectFailure(args, input_, output_, 2);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_THAT(err, testing::EndsWith("\nsee render --help\n")) << err;
  }
  const tool_test::RunResult run = RunRender({input_});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "render: an input and an output file are needed\nsee render --help\n");
  const tool_test::RunResult version = RunRender({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_THAT(version.out, testing::MatchesRegex("render [0-9]+\\.[0-9]+\\.[0-9]+\n"));
  const tool_test::RunResult help = RunRender({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_THAT(help.out, HasSubstr("Usage: render [OPTIONS] INPUT OUTPUT"));
}

}  // namespace
