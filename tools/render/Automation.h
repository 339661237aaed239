// Automation lanes: parsed from the command line, turned into per-frame parameter changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class PluginInstance;

// One point of an automation lane: a time and a value in the parameter's
// display units, as typed.
struct AutomationPoint {
  double seconds = 0.0;
  std::string value;
};

// "NAME=T:V,T:V,...": the parameter holds the first value until the first
// time, follows straight lines between the points and holds the last value
// after the last. Two points at one time make a jump.
struct AutomationLane {
  std::string name;
  std::vector<AutomationPoint> points;
};

// Reads a lane from the command line; on a malformed one returns no points
// and says why in `error`.
AutomationLane ParseAutomationLane(const std::string& text, std::string& error);

// A value a host hands the plug-in before processing the frame.
struct ParameterChange {
  int64_t frame = 0;
  int32_t index = 0;
  float normalized = 0.0f;
};

// The changes that play the lanes back into the plug-in at this sample rate
// for the first `frames` frames, ordered by frame. A change is sent where the
// value the plug-in keeps differs from the one before, so stepped parameters
// get one change per step and the blocks split only there. Leaves the
// parameters changed: call before switching on, then send the changes.
// Throws UsageError for an unknown parameter or a value it cannot take.
std::vector<ParameterChange> PlanAutomation(PluginInstance& plugin,
                                            const std::vector<AutomationLane>& lanes,
                                            double sampleRate, int64_t frames);

}  // namespace render
