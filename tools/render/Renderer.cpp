#include "tools/render/Renderer.h"

#include "tools/render/AudioInput.h"
#include "tools/render/AudioOutput.h"
#include "tools/render/Interruption.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderError.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace render {
namespace {

// Planar buffers for the plug-in's pins plus the pointer arrays handed to it.
// There are at least as many buffers as the plug-in has pins, so a plug-in
// that reads or writes all its pins never touches memory it does not own.
template <typename T>
class PinBuffers {
 public:
  PinBuffers(int32_t pins, int32_t frames)
      : storage_(static_cast<size_t>(pins), std::vector<T>(static_cast<size_t>(frames), T(0))),
        pointers_(static_cast<size_t>(pins)),
        shifted_(static_cast<size_t>(pins)) {
    for (size_t i = 0; i < storage_.size(); ++i) {
      pointers_[i] = storage_[i].data();
    }
  }

  T** Pointers() { return pointers_.data(); }
  // The pointers moved on by `frame` frames, for a part of a block.
  T** PointersFrom(int32_t frame) {
    for (size_t i = 0; i < storage_.size(); ++i) {
      shifted_[i] = storage_[i].data() + frame;
    }
    return shifted_.data();
  }
  T* Pin(int32_t i) { return storage_[static_cast<size_t>(i)].data(); }
  int32_t Count() const { return static_cast<int32_t>(storage_.size()); }

 private:
  std::vector<std::vector<T>> storage_;
  std::vector<T*> pointers_;
  std::vector<T*> shifted_;
};

// Processes one block of frames starting at file frame `first`, split where
// an automation change falls inside it, each change sent just before its
// frame.
template <typename T>
void ProcessBlock(PluginInstance& plugin, PinBuffers<T>& ins, PinBuffers<T>& outs, int32_t frames,
                  int64_t first, const std::vector<ParameterChange>& changes, size_t& next) {
  for (int32_t done = 0; done < frames;) {
    const int64_t now = first + done;
    for (; next < changes.size() && changes[next].frame <= now; ++next) {
      plugin.SetParameter(changes[next].index, changes[next].normalized);
    }
    int32_t part = frames - done;
    if (next < changes.size() && changes[next].frame < now + part) {
      part = static_cast<int32_t>(changes[next].frame - now);
    }
    plugin.Process(ins.PointersFrom(done), outs.PointersFrom(done), part);
    done += part;
  }
}

template <typename T>
RenderStats RenderBlocks(PluginInstance& plugin, AudioInput& input, AudioOutput& output,
                         const RenderSettings& settings) {
  const AEffect& e = plugin.Effect();
  const int32_t channels = input.Channels();
  const int32_t block = settings.blockSize;
  const int64_t chunk = (kFileChunkFrames + block - 1) / block * block;
  const bool monoToAll = channels == 1 && !settings.channelsAccepted;
  PinBuffers<T> ins(std::max(e.numInputs, channels), block);
  PinBuffers<T> outs(std::max(e.numOutputs, channels), block);
  std::vector<T> read(static_cast<size_t>(chunk) * static_cast<size_t>(channels));
  std::vector<T> written(read.size());

  ProgressBar progress(stderr, input.Frames(), settings.showProgress);
  std::chrono::steady_clock::duration inPlugin{};
  RenderStats stats;
  size_t nextChange = 0;
  const std::string what = "'" + output.Name() + "' was not written";

  for (;;) {
    ThrowIfInterrupted(what);
    const int64_t got = input.Read(read.data(), chunk);
    if (got == 0) {
      break;
    }
    stats.input.Add(read.data(), got * channels);
    for (int64_t at = 0; at < got; at += block) {
      ThrowIfInterrupted(what);
      const int32_t frames = static_cast<int32_t>(std::min<int64_t>(block, got - at));
      const T* from = read.data() + at * channels;
      for (int32_t pin = 0; pin < ins.Count(); ++pin) {
        T* dst = ins.Pin(pin);
        const int32_t c = monoToAll ? 0 : pin;
        for (int32_t f = 0; f < frames; ++f) {
          dst[f] = c < channels ? from[static_cast<size_t>(f) * channels + c] : T(0);
        }
      }

      const auto start = std::chrono::steady_clock::now();
      ProcessBlock(plugin, ins, outs, frames, stats.frames + at, settings.changes, nextChange);
      inPlugin += std::chrono::steady_clock::now() - start;

      T* to = written.data() + at * channels;
      for (int32_t c = 0; c < channels; ++c) {
        const T* src = outs.Pin(c);
        for (int32_t f = 0; f < frames; ++f) {
          to[static_cast<size_t>(f) * channels + c] = src[f];
        }
      }
    }
    stats.output.Add(written.data(), got * channels);
    output.Write(written.data(), got);
    stats.frames += got;
    progress.Update(stats.frames);
  }
  progress.Finish();
  stats.processSeconds = std::chrono::duration<double>(inPlugin).count();
  return stats;
}

}  // namespace

void CheckChannelCount(PluginInstance& plugin, const AudioInput& input, bool useDouble) {
  const AEffect& e = plugin.Effect();
  const int32_t channels = input.Channels();
  const int32_t most = std::min(e.numInputs, e.numOutputs);
  if (e.numOutputs < 1 || (channels > 1 && channels > most)) {
    throw RenderError("cannot render '" + input.Path() + "': it has " + std::to_string(channels) +
                      " channels, plug-in '" + plugin.ModulePath() + "' has " +
                      std::to_string(e.numInputs) + " inputs and " + std::to_string(e.numOutputs) +
                      " outputs");
  }
  if (useDouble && !plugin.CanProcessDouble()) {
    throw RenderError("plug-in '" + plugin.ModulePath() +
                      "' cannot process double precision (leave out --double)");
  }
}

RenderStats RenderFile(PluginInstance& plugin, AudioInput& input, AudioOutput& output,
                       const RenderSettings& settings) {
  return settings.useDouble ? RenderBlocks<double>(plugin, input, output, settings)
                            : RenderBlocks<float>(plugin, input, output, settings);
}

}  // namespace render
