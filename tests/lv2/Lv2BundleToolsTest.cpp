// The bundle as the distribution's LV2 tools see it: serdi parses its Turtle,
// lv2info lists its ports and presets, and lv2file and lv2apply render
// through it the same samples as the render tool through the VST module.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

const std::string kUri = "urn:qovak:duomangler";
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
  struct PortRow {
    int port;
    const char* symbol;
    const char* name;
    const char* minimum;
    const char* maximum;
    const char* defaultValue;
  };
  const PortRow rows[] = {
      {4, "split_freq", "Split Freq", "20.000000", "20000.000000", "1000.000000"},
      {5, "damping", "Damping", "0.000000", "100.000000", "50.000000"},
      {6, "low_drive", "Low Drive", "0.000000", "100.000000", "50.000000"},
      {7, "low_gain", "Low Gain", "0.000000", "100.000000", "20.000000"},
      {8, "low_round", "Low Round", "0.000000", "100.000000", "50.000000"},
      {9, "high_drive", "High Drive", "0.000000", "100.000000", "50.000000"},
      {10, "high_gain", "High Gain", "0.000000", "100.000000", "20.000000"},
      {11, "high_round", "High Round", "0.000000", "100.000000", "50.000000"},
      {12, "mix", "Mix", "0.000000", "100.000000", "90.000000"},
  };
  for (const PortRow& row : rows) {
    const std::string block = PortBlock(info.text, row.port);
    SCOPED_TRACE(block);
    EXPECT_NE(block.find("Symbol:      " + std::string(row.symbol) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Name:        " + std::string(row.name) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Minimum:     " + std::string(row.minimum) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Maximum:     " + std::string(row.maximum) + "\n"), std::string::npos);
    EXPECT_NE(block.find("Default:     " + std::string(row.defaultValue) + "\n"),
              std::string::npos);
    EXPECT_NE(block.find("lv2core#integer"), std::string::npos);
    EXPECT_EQ(block.find("port-props#logarithmic") != std::string::npos, row.port == 4);
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
  for (const char* name :
       {"---- default ----", "Electro Drum", "Electro Drum 2", "Drum Overdrive High",
        "Drum Mangler Mid", "Drum Reso", "HiHat Cool", "Drum", "Kick", "Guitar",
        "Guitar More Drive", "Guitar More Drive 2", "Bass Guitar", "Lead"}) {
    // lv2info indents each preset's name by a tab and nine blanks.
    EXPECT_NE(info.text.find("\t         " + std::string(name) + "\n"), std::string::npos) << name;
  }
  EXPECT_EQ(Count(RunCommand("lv2file -L " + kUri).text, "Preset: "), 14u);
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
