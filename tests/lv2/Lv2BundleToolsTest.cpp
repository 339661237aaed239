// The bundle as the distribution's LV2 tools see it: serdi parses its Turtle,
// lv2info lists its ports and presets, and lv2file and lv2apply render
// through it the same samples as the render tool through the VST module.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/effect/ProductTable.h"
#include "tests/tools/ToolTestSupport.h"

namespace {

struct Output {
  int status = -1;
  std::string text;  // standard output and error
};

Output RunCommand(const std::string& command) {
  Output out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.text.append(buffer, n);
  const int status = pclose(pipe);
  out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

size_t Count(const std::string& text, const std::string& word) {
  size_t count = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

// The lines lv2info prints for one port, from "Port N:" to the next port.
std::string PortBlock(const std::string& info, int port) {
  const size_t begin = info.find("Port " + std::to_string(port) + ":");
  if (begin == std::string::npos) return "";
  return info.substr(begin, info.find("Port " + std::to_string(port + 1) + ":", begin) - begin);
}

const std::string kUri = product::kLv2Uri;
const std::string kBundle = DM_LV2_BUNDLE;

class Lv2BundleTools : public testing::Test {
 protected:
  // Hosts find bundles through LV2_PATH: the folder that holds ours.
  static void SetUpTestSuite() { setenv("LV2_PATH", (kBundle + "..").c_str(), 1); }
};

TEST_F(Lv2BundleTools, TurtleParsesAndKeepsToTheLv2Schemas) {
  const std::vector<std::string> files = {"manifest.ttl", "duoMangler.ttl", "presets.ttl"};
  std::string all;
  for (const std::string& file : files) {
    const Output parsed = RunCommand("serdi -i turtle -o ntriples '" + kBundle + file + "'");
    EXPECT_EQ(parsed.status, 0) << file << ":\n" << parsed.text;
    EXPECT_GT(Count(parsed.text, " .\n"), 10u) << file;
    all += " '" + kBundle + file + "'";
  }
  const Output validated = RunCommand("lv2_validate" + all);
  EXPECT_EQ(validated.status, 0) << validated.text;
  EXPECT_NE(validated.text.find("Found 0 errors"), std::string::npos) << validated.text;
}

TEST_F(Lv2BundleTools, PortsCarryTheParametersRangesDefaultsAndUnits) {
  const Output info = RunCommand("lv2info " + kUri);
  ASSERT_EQ(info.status, 0) << info.text;
  // Ports 0 to 3 are audio; the controls follow in parameter order, as
  // lv2info prints their numbers ("%f").
  const auto printed = [](int32_t v) { return std::to_string(static_cast<double>(v)); };
  for (int32_t i = 0; i < product::kParameterCount; ++i) {
    const product::ParameterRow& row = product::kParameters[i];
    const int port = 4 + i;
    const std::string block = PortBlock(info.text, port);
    SCOPED_TRACE(block);
    EXPECT_NE(block.find("Symbol:      " + std::string(row.symbol) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Name:        " + std::string(row.name) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Minimum:     " + printed(row.min) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Maximum:     " + printed(row.max) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Default:     " + printed(row.def) + "\n"), std::string::npos);
    EXPECT_NE(block.find("lv2core#integer"), std::string::npos);
    EXPECT_EQ(block.find("port-props#logarithmic") != std::string::npos, row.shape != 1.0);
  }
  for (int port = 0; port < 4; ++port)
    EXPECT_NE(PortBlock(info.text, port).find("lv2core#AudioPort"), std::string::npos) << port;
  EXPECT_EQ(PortBlock(info.text, 13), "");

  // This lv2info prints no units; the triples show them.
  const Output triples = RunCommand("serdi -i turtle -o ntriples '" + kBundle + "duoMangler.ttl'");
  EXPECT_EQ(Count(triples.text, "<http://lv2plug.in/ns/extensions/units#hz> ."), 1u);
  EXPECT_EQ(Count(triples.text, "<http://lv2plug.in/ns/extensions/units#pc> ."), 8u);
}

TEST_F(Lv2BundleTools, TheFactoryProgramsArePresets) {
  const Output info = RunCommand("lv2info " + kUri);
  for (const product::ProgramRow& program : product::kPrograms) {
    // lv2info indents each preset's name by a tab and nine blanks.
    EXPECT_NE(info.text.find("\t         " + std::string(program.name) + "\n"), std::string::npos)
        << program.name;
  }
  EXPECT_EQ(Count(RunCommand("lv2file -L " + kUri).text, "Preset: "),
            static_cast<size_t>(product::kProgramCount));
}

TEST_F(Lv2BundleTools, DistributionToolsRenderTheSameSamplesAsTheVstModule) {
#if defined(DM_SANITIZED)
  GTEST_SKIP() << "the distribution's tools cannot load a sanitized binary";
#endif
  struct Case {
    const char* what;
    std::string lv2Command;  // input and output are appended as the tool wants them
    std::vector<std::string> renderArguments;
    double leastPeak = 0.1;
  };
  const std::vector<Case> cases = {
      {"lv2file, controls",
       "lv2file -b 1000 -p split_freq:500 -p mix:80",
       {"--param", "Split Freq=500", "--param", "Mix=80", "--block", "300"}},
      {"lv2file, preset", "lv2file --preset=Kick", {"--program", "Kick"}},
      // Samples beyond full scale: lv2file clips those of its first block
      // unless told not to check.
      {"lv2file, overs", "lv2file --ignore-clipping --preset=Drum", {"--program", "Drum"}, 1.0},
      {"lv2apply, controls",
       "lv2apply -c low_drive 100 -c high_round 0 -c damping 3",
       {"--param", "Low Drive=100", "--param", "High Round=0", "--param", "Damping=3"}},
  };
  tool_test::TempFolder dir;
  const std::string in = dir.Path("in.wav");
  tool_test::WriteAudio(in, tool_test::MakeSignal(2, 48000, 30011, tool_test::kFloatWav));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = {"--plugin", DM_VST_MODULE};
    args.insert(args.end(), c.renderArguments.begin(), c.renderArguments.end());
    args.insert(args.end(), {in, dir.Path("vst.wav")});
    const tool_test::RunResult rendered = tool_test::RunRender(args);
    ASSERT_EQ(rendered.exitCode, 0) << rendered.err;

    const std::string out = dir.Path("lv2.wav");
    const Output run = RunCommand(c.lv2Command + " -i '" + in + "' -o '" + out + "' " + kUri);
    ASSERT_EQ(run.status, 0) << run.text;

    const tool_test::Audio vst = tool_test::ReadAudio(dir.Path("vst.wav"));
    const tool_test::Audio lv2 = tool_test::ReadAudio(out);
    ASSERT_EQ(lv2.Frames(), vst.Frames());
    EXPECT_EQ(tool_test::FirstDifference(vst.samples, lv2.samples, /*inDouble=*/true), -1);
    EXPECT_GT(tool_test::PeakOf(lv2.samples), c.leastPeak);
  }
}

}  // namespace
