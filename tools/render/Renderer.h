#pragma once

#include <cstdint>

namespace render {

class AudioInput;
class AudioOutput;
class PluginInstance;

struct RenderSettings {
  int32_t blockSize = 512;
  bool useDouble = false;
  bool showProgress = false;
  // The plug-in took the file's channel count through its speaker
  // arrangement; otherwise a mono file feeds every input.
  bool channelsAccepted = true;
};

struct RenderStats {
  int64_t frames = 0;
  double processSeconds = 0.0;  // time spent inside the plug-in's audio callback
  double peakDb = 0.0;
  double rmsDb = 0.0;
  int64_t overs = 0;
};

// Streams the input through the switched-on plug-in into the output, block
// by block. Throws RenderError on an I/O failure or an interruption.
RenderStats RenderFile(PluginInstance& plugin, AudioInput& input, AudioOutput& output,
                       const RenderSettings& settings);

// Checks that the plug-in can take a file with this many channels; throws
// RenderError naming both otherwise.
void CheckChannelCount(PluginInstance& plugin, const AudioInput& input, bool useDouble);

// Asks a running render to stop at the next block (from a signal handler).
void RequestInterruption();

}  // namespace render
