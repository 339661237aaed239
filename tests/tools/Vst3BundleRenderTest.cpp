// render with the VST 3 bundle: every feature gives the samples and files
// it gives with the VST 2 module.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/tools/ToolTestSupport.h"

namespace {

using tool_test::ReadAudio;
using tool_test::RunRender;
using tool_test::TempFolder;

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(Vst3BundleRender, RendersAndSavesAsTheVst2Module) {
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"),
                        tool_test::MakeSignal(2, 44100, 20000, tool_test::kFloatWav));
  const std::vector<std::vector<std::string>> settings = {
      {"--program", "Kick", "--block", "300"},
      {"--double", "--encoding", "double", "--program", "Guitar", "--param", "Mix=70"},
      {"--automate", "Split Freq=0:200,0.4:5000", "--automate", "Mix=0:100,0.2:100,0.2:40"},
      {"--oversample", "2", "--program", "Lead"},
  };
  for (size_t i = 0; i < settings.size(); ++i) {
    SCOPED_TRACE(i);
    std::vector<std::string> samples;
    for (const char* plugin : {DM_DUO_MANGLER_PLUGIN, DM_DUO_MANGLER_VST3}) {
      std::vector<std::string> args = {"-q", "--plugin", plugin};
      args.insert(args.end(), settings[i].begin(), settings[i].end());
      const std::string out = dir.Path("out" + std::to_string(samples.size()) + ".wav");
      args.insert(args.end(), {dir.Path("in.wav"), out});
      const tool_test::RunResult run = RunRender(args);
      ASSERT_EQ(run.exitCode, 0) << run.err;
      samples.push_back(out);
    }
    EXPECT_EQ(ReadAudio(samples[0]).samples, ReadAudio(samples[1]).samples);
  }

  // Presets written through one format load through the other alike.
  for (const char* kind : {"--save-preset", "--save-bank"}) {
    const std::string suffix = std::string(kind) == "--save-bank" ? ".fxb" : ".fxp";
    const std::string vst2 = dir.Path("2" + suffix);
    const std::string vst3 = dir.Path("3" + suffix);
    ASSERT_EQ(RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--program", "Kick", "--param",
                         "Mix=70", kind, vst2})
                  .exitCode,
              0);
    ASSERT_EQ(RunRender({"--plugin", DM_DUO_MANGLER_VST3, "--program", "Kick", "--param", "Mix=70",
                         kind, vst3})
                  .exitCode,
              0);
    EXPECT_EQ(FileBytes(vst2), FileBytes(vst3)) << kind;
    ASSERT_EQ(RunRender({"-q", "--plugin", DM_DUO_MANGLER_VST3, "--preset", vst2,
                         dir.Path("in.wav"), dir.Path("p3.wav")})
                  .exitCode,
              0);
    ASSERT_EQ(RunRender({"-q", "--plugin", DM_DUO_MANGLER_PLUGIN, "--preset", vst2,
                         dir.Path("in.wav"), dir.Path("p2.wav")})
                  .exitCode,
              0);
    EXPECT_EQ(ReadAudio(dir.Path("p2.wav")).samples, ReadAudio(dir.Path("p3.wav")).samples);
  }

  const tool_test::RunResult list = RunRender({"--plugin", DM_DUO_MANGLER_VST3, "--list"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("2 in / 2 out (VST 3, "), std::string::npos) << list.out;
}

}  // namespace
