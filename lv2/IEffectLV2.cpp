#include "lv2/IEffectLV2.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "lv2/Lv2PluginFactory.h"

namespace {

const LV2_URID_Map* FindUridMap(const LV2_Feature* const* features) {
  for (; features && *features; ++features) {
    if (std::strcmp((*features)->URI, LV2_URID__map) == 0)
      return static_cast<const LV2_URID_Map*>((*features)->data);
  }
  return nullptr;
}

// A piece of a block: the base's run operations count frames in 32 bits.
constexpr uint32_t kLongestPiece = 1u << 30;

}  // namespace

IEffectLV2::IEffectLV2(const LV2_Feature* const* features, int32_t parameterCount,
                       const char* channelString, int32_t presetCount, const char* effectTitle,
                       const char* productTitle, const char* vendorTitle, int32_t effectVersion,
                       int32_t pluginId, int32_t vendorId, int32_t latencySamples, int32_t midi,
                       bool chunks, bool instrument)
    : IHostlessEffectBase(parameterCount, channelString, presetCount, effectTitle, productTitle,
                          vendorTitle, effectVersion, pluginId, vendorId, latencySamples, midi,
                          chunks, instrument),
      audioPorts(AudioInputPortCount() + AudioOutputPortCount(), nullptr),
      pieceAudio(audioPorts.size(), nullptr),
      controlPorts(static_cast<size_t>(ParameterCount()), nullptr),
      appliedPortBits(controlPorts.size(), kPortNotSeen) {
  if (const LV2_URID_Map* map = FindUridMap(features)) {
    const std::string key = std::string(kLv2Plugin.uri) + "#programChunk";
    programChunkKey = map->map(map->handle, key.c_str());
    chunkType = map->map(map->handle, LV2_ATOM__Chunk);
  }
  ConnectInputs(0, InputCount(), true);
  ConnectOutputs(0, OutputCount(), true);
}

IEffectLV2::~IEffectLV2() = default;

void IEffectLV2::Prepare(double rate) {
  PluginLockGuard guard(Lock());
  StoreSampleRate(rate);
  PrepareForBlockSize(kScratchFrames);
  ApplySampleRate();
  NotifyAllParametersChanged();
  // What a restore without our key resets to, and the pattern every chunk
  // handed back to us must match.
  WriteProgramChunk(defaultChunk);
}

void IEffectLV2::Activate() { ProcessingSwitched(true); }

void IEffectLV2::Deactivate() {
  PluginLockGuard guard(Lock());
  ProcessingSwitched(false);
  ApplySampleRate();
}

void IEffectLV2::ConnectPort(uint32_t port, void* data) {
  if (port < FirstControlPort()) {
    audioPorts[port] = static_cast<float*>(data);
  } else if (port < PortCount()) {
    controlPorts[port - FirstControlPort()] = static_cast<const float*>(data);
  }
}

void IEffectLV2::Run(uint32_t frames) {
  PluginLockGuard guard(Lock());
  ApplyControlPorts();
  for (uint32_t offset = 0; offset < frames;) {
    const uint32_t piece = std::min(frames - offset, kLongestPiece);
    RunPiece(offset, static_cast<int32_t>(piece));
    offset += piece;
  }
}

void IEffectLV2::RunPiece(uint32_t offset, int32_t frames) {
  for (size_t i = 0; i < audioPorts.size(); ++i)
    pieceAudio[i] = audioPorts[i] ? audioPorts[i] + offset : nullptr;
  float* const* inputs = pieceAudio.data();
  float* const* outputs = pieceAudio.data() + AudioInputPortCount();
  RouteInputsSingle(0, InputCount(), inputs, frames);
  RouteOutputsSingle(0, OutputCount(), outputs);
  RunBlockSingleReplacing(frames);
}

void IEffectLV2::ApplyControlPorts() {
  for (size_t i = 0; i < controlPorts.size(); ++i) {
    if (!controlPorts[i]) continue;
    const float value = *controlPorts[i];
    const uint64_t bits = std::bit_cast<uint32_t>(value);
    if (bits == appliedPortBits[i]) continue;
    appliedPortBits[i] = bits;
    SetParameterFromPort(static_cast<int32_t>(i), value);
  }
}

void IEffectLV2::SetParameterFromPort(int32_t index, float value) {
  if (std::isnan(value)) return;
  ParameterAt(index)->SetSteppedValue(static_cast<double>(value));
  ParameterChanged(index);
}

LV2_State_Status IEffectLV2::StoreStateToHost(LV2_State_Store_Function store,
                                              LV2_State_Handle handle) {
  if (programChunkKey == 0) return LV2_STATE_ERR_NO_FEATURE;
  IStateBuffer chunk;
  if (!WriteValuesChunk(chunk)) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, programChunkKey, chunk.Data(), static_cast<size_t>(chunk.Size()), chunkType,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

// The program chunk as the base writes it, but built outside the lock from a
// copy of the values: the audio thread may be waiting for the lock, and the
// chunk's storage is allocated.
bool IEffectLV2::WriteValuesChunk(IStateBuffer& chunk) {
  std::vector<double> values(static_cast<size_t>(ParameterCount()));
  {
    PluginLockGuard guard(Lock());
    for (int32_t i = 0; i < ParameterCount(); ++i) values[i] = ParameterAt(i)->value;
  }
  if (!chunk.WriteChunkHeader()) return false;
  for (double v : values) {
    const int32_t before = chunk.Size();
    if (chunk.AppendValue(v) == before) return false;
  }
  return true;
}

bool IEffectLV2::IsOwnProgramChunk(const void* data, size_t size) const {
  return data && size == static_cast<size_t>(defaultChunk.Size()) &&
         std::memcmp(data, defaultChunk.Data(), IStateBuffer::kHeaderBytes) == 0;
}

LV2_State_Status IEffectLV2::RestoreStateFromHost(LV2_State_Retrieve_Function retrieve,
                                                  LV2_State_Handle handle) {
  if (programChunkKey == 0) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(handle, programChunkKey, &size, &type, &flags);
  PluginLockGuard guard(Lock());
  if (!data) {
    data = defaultChunk.Data();
    size = static_cast<size_t>(defaultChunk.Size());
    type = chunkType;
  }
  if (type != chunkType) return LV2_STATE_ERR_BAD_TYPE;
  if (!IsOwnProgramChunk(data, size)) return LV2_STATE_ERR_UNKNOWN;
  const bool restored =
      ReadChunkFromHost(restoredChunk, data, static_cast<int64_t>(size), /*isBank=*/false);
  std::fill(appliedPortBits.begin(), appliedPortBits.end(), kPortNotSeen);
  return restored ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}
