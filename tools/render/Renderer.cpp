#include "tools/render/Renderer.h"

#include "tools/common/Counted.h"
#include "tools/render/AudioInput.h"
#include "tools/render/AudioOutput.h"
#include "tools/render/Interruption.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderError.h"
#include "tools/render/Resampler.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
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
        pointers_(static_cast<size_t>(pins)) {}

  // The pointers to each pin's buffer from `frame` on, for a block or a part
  // of one.
  T** PointersFrom(int32_t frame) {
    for (size_t i = 0; i < storage_.size(); ++i) {
      pointers_[i] = storage_[i].data() + frame;
    }
    return pointers_.data();
  }
  T* Pin(int32_t i) { return storage_[static_cast<size_t>(i)].data(); }
  int32_t Count() const { return static_cast<int32_t>(storage_.size()); }

 private:
  std::vector<std::vector<T>> storage_;
  std::vector<T*> pointers_;
};

// Runs interleaved frames through the plug-in block by block, sending each
// automation change just before its frame: a block is split where a change
// falls inside it.
template <typename T>
class PluginStage {
 public:
  PluginStage(PluginInstance& plugin, const RenderSettings& settings, int32_t channels,
              const std::string& what)
      : plugin_(plugin),
        settings_(settings),
        channels_(channels),
        monoToAll_(channels == 1 && !settings.channelsAccepted),
        block_(settings.blockSize * settings.oversampling),
        ins_(std::max(plugin.Effect().numInputs, channels), block_),
        outs_(std::max(plugin.Effect().numOutputs, channels), block_),
        what_(what) {}

  int32_t BlockSize() const { return block_; }

  void Run(const T* in, T* out, int64_t frames) {
    for (int64_t at = 0; at < frames; at += block_) {
      ThrowIfInterrupted(what_);
      const int32_t n = static_cast<int32_t>(std::min<int64_t>(block_, frames - at));
      const T* from = in + at * channels_;
      for (int32_t pin = 0; pin < ins_.Count(); ++pin) {
        T* dst = ins_.Pin(pin);
        const int32_t c = monoToAll_ ? 0 : pin;
        for (int32_t f = 0; f < n; ++f) {
          dst[f] = c < channels_ ? from[static_cast<size_t>(f) * channels_ + c] : T(0);
        }
      }
      const auto start = std::chrono::steady_clock::now();
      ProcessBlock(n);
      inPlugin_ += std::chrono::steady_clock::now() - start;
      T* to = out + at * channels_;
      for (int32_t c = 0; c < channels_; ++c) {
        const T* src = outs_.Pin(c);
        for (int32_t f = 0; f < n; ++f) {
          to[static_cast<size_t>(f) * channels_ + c] = src[f];
        }
      }
    }
  }

  double SecondsInPlugin() const { return std::chrono::duration<double>(inPlugin_).count(); }

 private:
  void ProcessBlock(int32_t frames) {
    const std::vector<ParameterChange>& changes = settings_.changes;
    for (int32_t done = 0; done < frames;) {
      const int64_t now = position_ + done;
      for (; next_ < changes.size() && changes[next_].frame <= now; ++next_) {
        plugin_.SetParameter(changes[next_].index, changes[next_].normalized);
      }
      int32_t part = frames - done;
      if (next_ < changes.size() && changes[next_].frame < now + part) {
        part = static_cast<int32_t>(changes[next_].frame - now);
      }
      plugin_.Process(ins_.PointersFrom(done), outs_.PointersFrom(done), part);
      done += part;
    }
    position_ += frames;
  }

  PluginInstance& plugin_;
  const RenderSettings& settings_;
  const int32_t channels_;
  const bool monoToAll_;
  const int32_t block_;
  PinBuffers<T> ins_;
  PinBuffers<T> outs_;
  const std::string& what_;
  int64_t position_ = 0;  // frames processed so far
  size_t next_ = 0;       // the first change not sent yet
  std::chrono::steady_clock::duration inPlugin_{};
};

// Writes what the plug-in made, never beyond the frames read: the output has
// the input's length exactly.
template <typename T>
class OutputStage {
 public:
  OutputStage(AudioOutput& output, RenderStats& stats, int32_t channels)
      : output_(output), stats_(stats), channels_(channels) {}

  void Write(const T* interleaved, int64_t frames) {
    const int64_t n = std::min(frames, stats_.frames - written_);
    if (n > 0) {
      stats_.output.Add(interleaved, n * channels_);
      output_.Write(interleaved, n);
      written_ += n;
    }
  }

  // Should a converter give back fewer frames than it took, silence ends
  // the output.
  void PadToLength() {
    constexpr int64_t kFrames = 1024;
    const std::vector<T> silence(static_cast<size_t>(channels_ * kFrames), T(0));
    while (written_ < stats_.frames) {
      Write(silence.data(), kFrames);
    }
  }

 private:
  AudioOutput& output_;
  RenderStats& stats_;
  const int32_t channels_;
  int64_t written_ = 0;
};

// The plug-in alone, or between an up- and a down-converter at a multiple
// of the file's rate (its blocks and automation frames are at that rate).
template <typename T>
class Chain {
 public:
  Chain(PluginInstance& plugin, const RenderSettings& settings, int32_t channels, int sampleRate,
        OutputStage<T>& out, const std::string& what)
      : stage_(plugin, settings, channels, what), out_(out), channels_(channels) {
    if (settings.oversampling > 1) {
      const double fast = static_cast<double>(sampleRate) * settings.oversampling;
      up_.emplace(sampleRate, fast, channels);
      down_.emplace(fast, sampleRate, channels);
    }
  }

  void Run(const T* in, int64_t frames) {
    if (!up_) {
      processed_.resize(static_cast<size_t>(frames * channels_));
      stage_.Run(in, processed_.data(), frames);
      out_.Write(processed_.data(), frames);
      return;
    }
    fast_.clear();
    up_->Process(in, frames, fast_);
    RunFast(false);
  }

  void Finish() {
    if (up_) {
      fast_.clear();
      up_->Finish(fast_);
      RunFast(true);
      out_.PadToLength();
    }
  }

  double SecondsInPlugin() const { return stage_.SecondsInPlugin(); }

 private:
  // Whole blocks only until the end, as at the file's rate: the converter
  // hands out frames in amounts of its own.
  void RunFast(bool last) {
    pending_.insert(pending_.end(), fast_.begin(), fast_.end());
    const int64_t have = static_cast<int64_t>(pending_.size()) / channels_;
    const int64_t frames = last ? have : have / stage_.BlockSize() * stage_.BlockSize();
    processed_.resize(static_cast<size_t>(frames * channels_));
    stage_.Run(pending_.data(), processed_.data(), frames);
    pending_.erase(pending_.begin(), pending_.begin() + frames * channels_);
    slow_.clear();
    down_->Process(processed_.data(), frames, slow_);
    if (last) {
      down_->Finish(slow_);
    }
    out_.Write(slow_.data(), static_cast<int64_t>(slow_.size()) / channels_);
  }

  PluginStage<T> stage_;
  OutputStage<T>& out_;
  const int32_t channels_;
  std::optional<Resampler<T>> up_;
  std::optional<Resampler<T>> down_;
  std::vector<T> fast_;
  std::vector<T> pending_;  // converted frames short of a whole block
  std::vector<T> processed_;
  std::vector<T> slow_;
};

template <typename T>
RenderStats RenderBlocks(PluginInstance& plugin, AudioInput& input, AudioOutput& output,
                         const RenderSettings& settings) {
  const int32_t channels = input.Channels();
  const int32_t block = settings.blockSize;
  const int64_t chunk = (kFileChunkFrames + block - 1) / block * block;
  const std::string what = "'" + output.Name() + "' was not written";
  std::vector<T> read(static_cast<size_t>(chunk) * static_cast<size_t>(channels));
  RenderStats stats;
  OutputStage<T> out(output, stats, channels);
  Chain<T> chain(plugin, settings, channels, input.SampleRate(), out, what);
  ProgressBar progress(stderr, input.Frames(), settings.showProgress);
  for (;;) {
    ThrowIfInterrupted(what);
    const int64_t got = input.Read(read.data(), chunk);
    if (got == 0) {
      break;
    }
    stats.input.Add(read.data(), got * channels);
    stats.frames += got;
    chain.Run(read.data(), got);
    progress.Update(stats.frames);
  }
  chain.Finish();
  progress.Finish();
  stats.processSeconds = chain.SecondsInPlugin();
  return stats;
}

}  // namespace

void CheckChannelCount(PluginInstance& plugin, const AudioInput& input, bool useDouble) {
  const AEffect& e = plugin.Effect();
  const int32_t channels = input.Channels();
  const int32_t most = std::min(e.numInputs, e.numOutputs);
  if (e.numOutputs < 1 || (channels > 1 && channels > most)) {
    throw RenderError("cannot render '" + input.Path() + "': it has " +
                      tools::Counted(channels, "channel") + ", plug-in '" + plugin.ModulePath() +
                      "' has " + tools::Counted(e.numInputs, "input") + " and " +
                      tools::Counted(e.numOutputs, "output"));
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
