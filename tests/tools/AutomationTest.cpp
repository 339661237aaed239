// Automation lanes played by the render tool against the same file rendered
// frame by frame with the parameter set before each frame.
#include "tests/tools/ToolTestSupport.h"
#include "tools/render/ParameterControl.h"
#include "tools/render/PluginInstance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using tool_test::Audio;
using tool_test::RunRender;
using tool_test::TempFolder;

struct Point {
  int64_t frame;
  double value;
};

struct LaneCase {
  const char* plugin;
  const char* parameter;
  std::vector<Point> points;
  int sampleRate;
  int64_t frames;
};

// The value the lane asks for at a frame: straight lines between the points,
// the later of two points at one frame, the ends held.
double LaneValue(const std::vector<Point>& points, int64_t frame) {
  if (frame < points.front().frame) {
    return points.front().value;
  }
  for (size_t i = points.size() - 1; i > 0; --i) {
    if (frame >= points[i].frame) {
      return points[i].value;
    }
    const Point& a = points[i - 1];
    const Point& b = points[i];
    if (frame >= a.frame && b.frame > a.frame) {
      return a.value + (b.value - a.value) * static_cast<double>(frame - a.frame) /
                           static_cast<double>(b.frame - a.frame);
    }
  }
  return points.front().value;
}

std::string LaneText(const LaneCase& c) {
  std::string text = std::string(c.parameter) + "=";
  for (const Point& p : c.points) {
    char point[64];
    std::snprintf(point, sizeof(point), "%s%.17g:%g", &p == &c.points[0] ? "" : ",",
                  static_cast<double>(p.frame) / c.sampleRate, p.value);
    text += point;
  }
  return text;
}

// Frame by frame: the parameter set as a host's automation (its normalised
// value after the plug-in's own conversion) before every frame.
std::vector<double> RenderFrameByFrame(const LaneCase& c, const Audio& in) {
  render::PluginInstance plugin(c.plugin);
  plugin.Open();
  plugin.SetSampleRateAndBlockSize(c.sampleRate, 1);
  plugin.RequestChannels(in.channels);
  const int32_t index = render::FindParameter(plugin, c.parameter);
  const render::ParameterRange range = render::ProbeRange(plugin, index);
  AEffect& e = plugin.Effect();
  plugin.Start();
  std::vector<double> out(in.samples.size());
  float inFrame[2], outFrame[2];
  float* ins[2] = {&inFrame[0], &inFrame[1]};
  float* outs[2] = {&outFrame[0], &outFrame[1]};
  for (int64_t f = 0; f < in.Frames(); ++f) {
    render::SetParameterNumber(plugin, index, LaneValue(c.points, f), range);
    plugin.SetParameter(index, e.getParameter(&e, index));
    for (int ch = 0; ch < in.channels; ++ch) {
      inFrame[ch] = static_cast<float>(in.samples[f * in.channels + ch]);
    }
    plugin.Process(ins, outs, 1);
    for (int ch = 0; ch < in.channels; ++ch) {
      out[f * in.channels + ch] = outFrame[ch];
    }
  }
  plugin.Stop();
  return out;
}

class AutomationLanes : public testing::TestWithParam<LaneCase> {};

TEST_P(AutomationLanes, EqualRenderingFrameByFrameWithTheParameterSetBetween) {
  const LaneCase& c = GetParam();
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"),
                        tool_test::MakeSignal(2, c.sampleRate, c.frames, tool_test::kFloatWav));
  const Audio in = tool_test::ReadAudio(dir.Path("in.wav"));
  const tool_test::RunResult run =
      RunRender({"--plugin", c.plugin, "--block", "64", "--automate", LaneText(c), "-q",
                 dir.Path("in.wav"), dir.Path("out.wav")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Audio out = tool_test::ReadAudio(dir.Path("out.wav"));
  EXPECT_EQ(tool_test::FirstDifference(RenderFrameByFrame(c, in), out.samples, false), -1)
      << LaneText(c);
}

std::vector<LaneCase> Lanes() {
  // A plug-in that converts texts itself: a ramp of about one step in 1.6
  // frames, a hold, and a ramp back down across block ends.
  std::vector<LaneCase> lanes = {
      {DM_TEST_GAIN_PLUGIN, "Gain", {{80, 0}, {400, 200}, {450, 200}, {700, 30}}, 8000, 900}};
#ifdef DM_DUO_MANGLER_PLUGIN
  // Several steps per frame on a squared mapping, then a jump.
  lanes.push_back({DM_DUO_MANGLER_PLUGIN,
                   "Split Freq",
                   {{0, 20}, {882, 20000}, {1323, 20000}, {1323, 300}},
                   44100,
                   2000});
  // Steps of many frames, and jumps in the middle of blocks.
  lanes.push_back({DM_DUO_MANGLER_PLUGIN,
                   "Mix",
                   {{100, 0}, {100, 70}, {1100, 20}, {1130, 20}, {1130, 100}},
                   48000,
                   1500});
#endif
  return lanes;
}

INSTANTIATE_TEST_SUITE_P(Lanes, AutomationLanes, testing::ValuesIn(Lanes()),
                         [](const testing::TestParamInfo<LaneCase>& lane) {
                           std::string name = lane.param.parameter;
                           name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                           return name;
                         });

TEST(AutomationLanes, MalformedOrImpossibleLanesAreUsageErrors) {
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"),
                        tool_test::MakeSignal(1, 8000, 100, tool_test::kFloatWav));
  const struct {
    const char* lane;
    const char* says;
    const char* secondLane = nullptr;
  } cases[] = {
      {"Gain", "is not of the form NAME=T:V"},
      {"=0:5", "is not of the form NAME=T:V"},
      {"Gain=", "is not of the form SECONDS:VALUE"},
      {"Gain=0:50,", "is not of the form SECONDS:VALUE"},
      {"Gain=0.5", "is not of the form SECONDS:VALUE"},
      {"Gain=0:", "is not of the form SECONDS:VALUE"},
      {"Gain=x:50", "does not start with a time"},
      {"Gain=-1:50", "does not start with a time"},
      {"Gain=nan:50", "does not start with a time"},
      {"Gain=inf:50", "does not start with a time"},
      {"Gain=2:50,1:60", "is earlier than the one before"},
      {"Gain=0:50,1:250", "out of range"},
      {"Gain=0:50 Hz", "wrong unit"},
      {"Gain=0:loud", "not a decimal number"},
      {"Volume=0:50", "unknown parameter"},
      {"Gain=0:50", "has two automation lanes", "gain=1:60"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--plugin", DM_TEST_GAIN_PLUGIN, "--automate", c.lane};
    if (c.secondLane) {
      args.insert(args.end(), {"--automate", c.secondLane});
    }
    args.insert(args.end(), {dir.Path("in.wav"), dir.Path("out.wav")});
    const tool_test::RunResult run = RunRender(args);
    EXPECT_EQ(run.exitCode, 2) << c.lane;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << c.lane << ": " << run.err;
    EXPECT_FALSE(tool_test::Exists(dir.Path("out.wav"))) << c.lane;
  }
}

}  // namespace
