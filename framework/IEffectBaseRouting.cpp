// Channel configurations, connection, routing of the host's buffers and the
// running of blocks. Routing and blocks run on the audio thread with the
// plug-in lock held and allocate nothing; only PrepareForBlockSize, called
// when the host announces its block size, resizes the scratch buffers.
#include "framework/IEffectBase.h"
#include "framework/SampleConversion.h"

#include <algorithm>
#include <cstring>

namespace {

// The channel indexes [begin, end) that a (first, count) request may touch.
struct ChannelRange {
  int32_t begin;
  int32_t end;
};

ChannelRange ClampRange(int32_t first, int32_t count, int32_t channelCount) {
  const int64_t begin = std::max<int64_t>(first, 0);
  const int64_t end = std::min<int64_t>(static_cast<int64_t>(first) + count, channelCount);
  return {static_cast<int32_t>(begin), static_cast<int32_t>(std::max(begin, end))};
}

double* ScratchSamples(IGrowableBuffer& scratch) {
  return reinterpret_cast<double*>(scratch.Data());
}

int32_t ScratchCapacity(const IGrowableBuffer& scratch) {
  return scratch.Size() / static_cast<int32_t>(sizeof(double));
}

void ZeroScratch(IGrowableBuffer& scratch) {
  if (scratch.Data()) std::memset(scratch.Data(), 0, static_cast<size_t>(scratch.Size()));
}

// Routing hands out the same pointers block after block, and the block reads
// them back at once: a pointer is stored only when it changes. (Storing them
// all in every block measured 10 ns slower per 64-frame double-precision
// block, 3 %, with the loads right behind the stores.)
template <typename T>
void StoreIfChanged(T*& field, T* value) {
  if (field != value) field = value;
}

// A channel without samples of its own must read silence, never the samples
// of an earlier block left in its scratch buffer.
template <typename Channel>
void PointAtSilence(Channel& channel) {
  ZeroScratch(channel.scratch);
  *channel.slot = ScratchSamples(channel.scratch);
}

template <typename Channel>
void PrepareScratch(Channel& channel, int64_t bytes) {
  // A size the 32-bit buffer cannot describe keeps the old buffer; blocks
  // then run in pieces that fit it.
  if (bytes <= INT32_MAX) channel.scratch.Resize(static_cast<int32_t>(bytes), true);
  ZeroScratch(channel.scratch);
  // The buffer may have moved: no slot may keep a released address.
  if (!channel.connected) *channel.slot = ScratchSamples(channel.scratch);
}

template <typename Channel>
void ConnectChannels(const IOwnedList<Channel>& channels, ChannelRange range, bool connected) {
  for (int32_t i = range.begin; i < range.end; ++i) {
    Channel* channel = channels.At(i);
    channel->connected = connected;
    if (!connected) PointAtSilence(*channel);
  }
}

// An empty scratch counts too: the channel then has no samples at all, and a
// block must not hand the effect its null pointer.
template <typename Channel>
bool IsOnScratch(const Channel& channel) {
  return *channel.slot == reinterpret_cast<const double*>(channel.scratch.Data());
}

}  // namespace

bool IEffectBase::SupportsChannelCounts(int32_t inputs, int32_t outputs) const {
  for (int32_t i = 0; i < ChannelConfigCount(); ++i) {
    const IChannelConfig* config = ChannelConfigAt(i);
    if ((inputs < 0 || config->inputCount == inputs) &&
        (outputs < 0 || config->outputCount == outputs)) {
      return true;
    }
  }
  return false;
}

void IEffectBase::PrepareForBlockSize(int32_t frames) {
  if (frames == blockSize) return;
  const int64_t bytes =
      static_cast<int64_t>(std::max(frames, 0)) * static_cast<int64_t>(sizeof(double));
  for (int32_t i = 0; i < InputCount(); ++i) PrepareScratch(*inputChannels.At(i), bytes);
  for (int32_t i = 0; i < OutputCount(); ++i) PrepareScratch(*outputChannels.At(i), bytes);
  scratchFrames = MeasureScratchFrames();
  blockSize = frames;
}

void IEffectBase::ConnectInputs(int32_t first, int32_t count, bool connected) {
  ConnectChannels(inputChannels, ClampRange(first, count, InputCount()), connected);
}

void IEffectBase::ConnectOutputs(int32_t first, int32_t count, bool connected) {
  ConnectChannels(outputChannels, ClampRange(first, count, OutputCount()), connected);
}

void IEffectBase::UseStereoInputsAllOutputs() {
  ConnectInputs(2, InputCount() - 2, false);
  ConnectOutputs(2, OutputCount() - 2, true);
}

// Host pointers are handed out to connected channels only, in order: an
// unconnected channel consumes none.
void IEffectBase::RouteInputsDouble(int32_t first, int32_t count, double* const* hostInputs) {
  const ChannelRange range = ClampRange(first, count, InputCount());
  int32_t next = 0;
  for (int32_t i = range.begin; i < range.end; ++i) {
    IInputChannel* channel = inputChannels.At(i);
    if (!channel->connected) continue;
    double* samples = hostInputs ? hostInputs[next++] : nullptr;
    StoreIfChanged(channel->hostDouble, samples);
    if (samples) {
      StoreIfChanged(*channel->slot, samples);
    } else {
      PointAtSilence(*channel);
    }
  }
}

void IEffectBase::RouteInputsSingle(int32_t first, int32_t count, const float* const* hostInputs,
                                    int32_t frames) {
  const ChannelRange range = ClampRange(first, count, InputCount());
  int32_t next = 0;
  for (int32_t i = range.begin; i < range.end; ++i) {
    IInputChannel* channel = inputChannels.At(i);
    if (!channel->connected) continue;
    StoreIfChanged(channel->hostSingle, hostInputs ? hostInputs[next++] : nullptr);
    StoreIfChanged(*channel->slot, ScratchSamples(channel->scratch));
  }
  // Only what fits the scratch buffers now; the run converts the rest piece
  // by piece.
  ConvertInputsSingle(range.begin, range.end, 0, std::clamp(frames, 0, ScratchFrames()));
}

void IEffectBase::RouteOutputsDouble(int32_t first, int32_t count, double* const* hostOutputs) {
  const ChannelRange range = ClampRange(first, count, OutputCount());
  int32_t next = 0;
  for (int32_t i = range.begin; i < range.end; ++i) {
    IOutputChannel* channel = outputChannels.At(i);
    if (!channel->connected) continue;
    double* samples = hostOutputs ? hostOutputs[next++] : nullptr;
    StoreIfChanged(channel->hostDouble, samples);
    StoreIfChanged(*channel->slot, samples ? samples : ScratchSamples(channel->scratch));
  }
}

void IEffectBase::RouteOutputsSingle(int32_t first, int32_t count, float* const* hostOutputs) {
  const ChannelRange range = ClampRange(first, count, OutputCount());
  int32_t next = 0;
  for (int32_t i = range.begin; i < range.end; ++i) {
    IOutputChannel* channel = outputChannels.At(i);
    if (!channel->connected) continue;
    StoreIfChanged(channel->hostDestination, hostOutputs ? hostOutputs[next++] : nullptr);
    StoreIfChanged(*channel->slot, ScratchSamples(channel->scratch));
  }
}

int32_t IEffectBase::MeasureScratchFrames() const {
  int32_t frames = INT32_MAX;
  for (int32_t i = 0; i < InputCount(); ++i)
    frames = std::min(frames, ScratchCapacity(inputChannels.At(i)->scratch));
  for (int32_t i = 0; i < OutputCount(); ++i)
    frames = std::min(frames, ScratchCapacity(outputChannels.At(i)->scratch));
  return frames;
}

bool IEffectBase::AnyChannelOnScratch() const {
  for (int32_t i = 0; i < InputCount(); ++i) {
    if (IsOnScratch(*inputChannels.At(i))) return true;
  }
  for (int32_t i = 0; i < OutputCount(); ++i) {
    if (IsOnScratch(*outputChannels.At(i))) return true;
  }
  return false;
}

void IEffectBase::ConvertInputsSingle(int32_t firstChannel, int32_t endChannel, int32_t offset,
                                      int32_t frames) {
  for (int32_t i = firstChannel; i < endChannel; ++i) {
    IInputChannel* channel = inputChannels.At(i);
    if (!channel->connected) continue;
    double* scratch = ScratchSamples(channel->scratch);
    if (!scratch) continue;
    const float* source = channel->hostSingle;
    if (!source) {
      std::fill(scratch, scratch + frames, 0.0);
      continue;
    }
    converters.widen(source + offset, scratch, frames);
  }
}

void IEffectBase::WriteOutputsSingle(int32_t offset, int32_t frames, bool adding) {
  for (int32_t i = 0; i < OutputCount(); ++i) {
    const IOutputChannel* channel = outputChannels.At(i);
    if (!channel->connected || !channel->hostDestination || !*channel->slot) continue;
    const double* samples = *channel->slot;
    float* destination = channel->hostDestination + offset;
    if (adding) {
      converters.addNarrowed(samples, destination, frames);
    } else {
      converters.narrow(samples, destination, frames);
    }
  }
}

void IEffectBase::SilenceOutputsSingle(int32_t frames) {
  for (int32_t i = 0; i < OutputCount(); ++i) {
    const IOutputChannel* channel = outputChannels.At(i);
    if (channel->connected && channel->hostDestination) {
      std::fill(channel->hostDestination, channel->hostDestination + frames, 0.0f);
    }
  }
}

void IEffectBase::PointConnectedChannelsAtHostDouble(int32_t offset) {
  for (int32_t i = 0; i < InputCount(); ++i) {
    IInputChannel* channel = inputChannels.At(i);
    if (channel->connected && channel->hostDouble) *channel->slot = channel->hostDouble + offset;
  }
  for (int32_t i = 0; i < OutputCount(); ++i) {
    IOutputChannel* channel = outputChannels.At(i);
    if (channel->connected && channel->hostDouble) *channel->slot = channel->hostDouble + offset;
  }
}

void IEffectBase::ProcessBlock(double** inputs, double** outputs, int32_t frames) {
  if (frames <= 0 || !outputs) return;
  const size_t bytes = static_cast<size_t>(frames) * sizeof(double);
  const int32_t passed = inputs ? std::min(InputCount(), OutputCount()) : 0;
  for (int32_t i = 0; i < passed; ++i) {
    if (inputs[i] && outputs[i] && inputs[i] != outputs[i])
      std::memmove(outputs[i], inputs[i], bytes);
  }
  for (int32_t i = passed; i < OutputCount(); ++i) {
    if (outputs[i]) std::memset(outputs[i], 0, bytes);
  }
}

// The processing is sample-sequential, so a block longer than the scratch
// buffers gives the same result run in pieces that fit them; that keeps the
// audio thread from overrunning or allocating.
void IEffectBase::RunBlockDouble(int32_t frames) {
  frames = std::max(frames, 0);
  const int32_t piece = ScratchFrames();
  if (frames <= piece || !AnyChannelOnScratch()) {
    ProcessBlock(InputPointerArray(), OutputPointerArray(), frames);
    return;
  }
  if (piece <= 0) {
    for (int32_t i = 0; i < OutputCount(); ++i) {
      const IOutputChannel* channel = outputChannels.At(i);
      if (channel->connected && channel->hostDouble)
        std::fill(channel->hostDouble, channel->hostDouble + frames, 0.0);
    }
    return;
  }
  for (int32_t offset = 0; offset < frames; offset += piece) {
    PointConnectedChannelsAtHostDouble(offset);
    ProcessBlock(InputPointerArray(), OutputPointerArray(), std::min(piece, frames - offset));
  }
  PointConnectedChannelsAtHostDouble(0);
}

void IEffectBase::RunBlockSingle(int32_t frames, bool adding) {
  frames = std::max(frames, 0);
  const int32_t piece = ScratchFrames();
  if (frames <= piece) {
    ProcessBlock(InputPointerArray(), OutputPointerArray(), frames);
    WriteOutputsSingle(0, frames, adding);
    return;
  }
  if (piece <= 0) {
    // No buffer to process into: a replacing block yields silence, an
    // accumulating one leaves the host's samples as they are.
    if (!adding) SilenceOutputsSingle(frames);
    return;
  }
  for (int32_t offset = 0; offset < frames; offset += piece) {
    const int32_t length = std::min(piece, frames - offset);
    if (offset > 0) ConvertInputsSingle(0, InputCount(), offset, length);
    ProcessBlock(InputPointerArray(), OutputPointerArray(), length);
    WriteOutputsSingle(offset, length, adding);
  }
}

void IEffectBase::RunBlockSingleReplacing(int32_t frames) { RunBlockSingle(frames, false); }

void IEffectBase::RunBlockSingleAdding(int32_t frames) { RunBlockSingle(frames, true); }
