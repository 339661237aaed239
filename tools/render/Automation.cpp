#include "tools/render/Automation.h"

#include "tools/render/ParameterControl.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/RenderError.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace render {
namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

// Seconds: a finite number of at least 0, nothing else.
bool ReadSeconds(const std::string& text, double& seconds) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
  return ec == std::errc() && ptr == end && std::isfinite(seconds) && seconds >= 0.0;
}

// A lane's points as frames and display numbers.
struct Lane {
  int32_t index = 0;
  ParameterRange range;
  std::vector<int64_t> frames;
  std::vector<double> values;

  // The display value at a frame: the later of two points at one frame wins.
  double ValueAt(int64_t frame) const {
    const auto after = std::upper_bound(frames.begin(), frames.end(), frame);
    if (after == frames.begin()) {
      return values.front();
    }
    const size_t i = static_cast<size_t>(after - frames.begin()) - 1;
    if (after == frames.end()) {
      return values[i];
    }
    const double share =
        static_cast<double>(frame - frames[i]) / static_cast<double>(frames[i + 1] - frames[i]);
    return values[i] + (values[i + 1] - values[i]) * share;
  }
};

Lane ResolveLane(PluginInstance& plugin, const AutomationLane& lane, double sampleRate) {
  Lane r;
  r.index = FindParameter(plugin, lane.name);
  r.range = ProbeRange(plugin, r.index);
  const std::string name = ParameterName(plugin, r.index);
  if (!r.range.IsNumeric()) {
    throw UsageError("parameter '" + name + "' shows no numbers (" + r.range.lowText + " to " +
                     r.range.highText + "), so it cannot be automated");
  }
  const std::string label = ParameterLabel(plugin, r.index);
  // Far beyond any file, and still exact in a 64-bit frame count.
  constexpr double kLatestFrame = 0x1p62;
  for (const AutomationPoint& p : lane.points) {
    r.frames.push_back(
        static_cast<int64_t>(std::min(std::round(p.seconds * sampleRate), kLatestFrame)));
    r.values.push_back(CheckedParameterNumber(name, p.value, label, r.range));
  }
  return r;
}

// The normalised value the plug-in keeps when the lane is at this frame: set
// through its own conversion, then handed back as a host's automation would,
// so a stepped parameter reports its step.
float KeptValue(PluginInstance& plugin, const Lane& lane, int64_t frame) {
  AEffect& e = plugin.Effect();
  SetParameterNumber(plugin, lane.index, lane.ValueAt(frame), lane.range);
  e.setParameter(&e, lane.index, e.getParameter(&e, lane.index));
  return e.getParameter(&e, lane.index);
}

// The first frame in (from, end) where the kept value leaves `kept`, or end.
// Within one straight segment the value moves one way, so once it has left
// it stays away: search by doubling steps, then by halving.
int64_t NextChange(PluginInstance& plugin, const Lane& lane, int64_t from, int64_t end,
                   float kept) {
  int64_t same = from;
  int64_t other = end;
  for (int64_t step = 1; same + step < end; step *= 2) {
    if (KeptValue(plugin, lane, same + step) != kept) {
      other = same + step;
      break;
    }
    same += step;
  }
  while (other - same > 1) {
    const int64_t mid = same + (other - same) / 2;
    (KeptValue(plugin, lane, mid) == kept ? same : other) = mid;
  }
  return other;
}

void PlanLane(PluginInstance& plugin, const Lane& lane, int64_t frames,
              std::vector<ParameterChange>& changes) {
  std::vector<int64_t> starts{0};
  for (int64_t f : lane.frames) {
    if (f > starts.back() && f < frames) {
      starts.push_back(f);
    }
  }
  float kept = KeptValue(plugin, lane, 0);
  changes.push_back({0, lane.index, kept});
  for (size_t s = 0; s < starts.size(); ++s) {
    const int64_t end = s + 1 < starts.size() ? starts[s + 1] : frames;
    int64_t at = starts[s];
    if (const float v = KeptValue(plugin, lane, at); v != kept) {
      kept = v;
      changes.push_back({at, lane.index, kept});
    }
    while ((at = NextChange(plugin, lane, at, end, kept)) < end) {
      kept = KeptValue(plugin, lane, at);
      changes.push_back({at, lane.index, kept});
    }
  }
}

}  // namespace

AutomationLane ParseAutomationLane(const std::string& text, std::string& error) {
  AutomationLane lane;
  error.clear();
  const size_t eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0) {
    error = "automation '" + text + "' is not of the form NAME=T:V,T:V,...";
    return lane;
  }
  lane.name = text.substr(0, eq);
  for (const std::string& point : Split(text.substr(eq + 1), ',')) {
    const size_t colon = point.find(':');
    AutomationPoint p;
    if (colon == std::string::npos || Trim(point.substr(colon + 1)).empty()) {
      error = "automation point '" + point + "' in '" + text + "' is not of the form SECONDS:VALUE";
    } else if (!ReadSeconds(Trim(point.substr(0, colon)), p.seconds)) {
      error = "automation point '" + point + "' in '" + text +
              "' does not start with a time in seconds (0 or more)";
    } else if (!lane.points.empty() && p.seconds < lane.points.back().seconds) {
      error = "automation point '" + point + "' in '" + text + "' is earlier than the one before";
    }
    if (!error.empty()) {
      lane.points.clear();
      return lane;
    }
    p.value = Trim(point.substr(colon + 1));
    lane.points.push_back(std::move(p));
  }
  return lane;
}

std::vector<ParameterChange> PlanAutomation(PluginInstance& plugin,
                                            const std::vector<AutomationLane>& lanes,
                                            double sampleRate, int64_t frames) {
  std::vector<ParameterChange> changes;
  std::vector<int32_t> automated;
  for (const AutomationLane& lane : lanes) {
    const Lane resolved = ResolveLane(plugin, lane, sampleRate);
    if (std::find(automated.begin(), automated.end(), resolved.index) != automated.end()) {
      throw UsageError("parameter '" + ParameterName(plugin, resolved.index) +
                       "' has two automation lanes; give all its points in one");
    }
    automated.push_back(resolved.index);
    PlanLane(plugin, resolved, std::max<int64_t>(frames, 1), changes);
  }
  std::stable_sort(
      changes.begin(), changes.end(),
      [](const ParameterChange& a, const ParameterChange& b) { return a.frame < b.frame; });
  return changes;
}

}  // namespace render
