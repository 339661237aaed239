// The render loop: file to plug-in to file, block by block, with automation and oversampling.
#pragma once

#include "tools/render/Automation.h"
#include "tools/render/LevelMeter.h"

#include <cstdint>
#include <vector>

namespace render {

class AudioInput;
class AudioOutput;
class PluginInstance;

struct RenderSettings {
  int32_t blockSize = 512;  // at the file's rate
  // The plug-in runs at this multiple of the file's rate, with blocks as
  // many times larger, between two sample-rate converters.
  int32_t oversampling = 1;
  bool useDouble = false;
  bool showProgress = false;
  // The plug-in took the file's channel count through its speaker
  // arrangement; otherwise a mono file feeds every input.
  bool channelsAccepted = true;
  // Sent before the frame they name (at the plug-in's rate); a block is
  // split there.
  std::vector<ParameterChange> changes;
};

struct RenderStats {
  int64_t frames = 0;
  double processSeconds = 0.0;  // time spent inside the plug-in's audio callback
  LevelMeter input;             // of the samples read (for their NaN and infinities)
  LevelMeter output;            // of the samples the plug-in produced
};

// Frames read and written per file access, whatever the block size: a whole
// number of blocks of at least this many frames.
constexpr int64_t kFileChunkFrames = 65536;

// Streams the input through the switched-on plug-in into the output, block
// by block. Throws RenderError on an I/O failure, Interrupted on a signal.
RenderStats RenderFile(PluginInstance& plugin, AudioInput& input, AudioOutput& output,
                       const RenderSettings& settings);

// Checks that the plug-in can take a file with this many channels; throws
// RenderError naming both otherwise.
void CheckChannelCount(PluginInstance& plugin, const AudioInput& input, bool useDouble);

}  // namespace render
