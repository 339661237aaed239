// The transfer curve: a plug-in's output level against a sine's input level.
#pragma once

#include <string>
#include <vector>

namespace render {
class PluginInstance;
}

namespace demo {

// One step of a level sweep: a sine's level going in and the plug-in's
// output level, both as the peak of a sine of the same RMS, in dBFS (so a
// plain gain of 1 reads the same on both sides).
struct TransferPoint {
  double inputDb;
  double outputDb;
};

// Feeds a sine of `hz` to both inputs of the switched-on plug-in, level by
// level from `fromDb` to `toDb` in steps of `stepDb` without a break in the
// sine, and measures the output of each level once the plug-in has settled.
std::vector<TransferPoint> MeasureTransfer(render::PluginInstance& plugin, double sampleRate,
                                           double hz, double fromDb, double toDb, double stepDb);

}  // namespace demo
