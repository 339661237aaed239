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

constexpr uint32_t kStoreFlags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;

// A chunk holding the header with room for bytes in all, so appends up to
// that size allocate nothing. (A buffer gives storage back when it shrinks
// only once it holds more than four growth steps; chunks stay far below.)
bool WriteHeaderWithRoom(IStateBuffer& chunk, int32_t bytes) {
  if (!chunk.WriteChunkHeader()) return false;
  chunk.ResizeZeroFilled(bytes);
  const bool roomy = chunk.Size() == bytes;
  chunk.ResizeZeroFilled(IStateBuffer::kHeaderBytes);
  return roomy;
}

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
    bankChunkKey = map->map(map->handle, (std::string(kLv2Plugin.uri) + "#bankChunk").c_str());
    currentProgramKey =
        map->map(map->handle, (std::string(kLv2Plugin.uri) + "#currentProgram").c_str());
    chunkType = map->map(map->handle, LV2_ATOM__Chunk);
    intType = map->map(map->handle, LV2_ATOM__Int);
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

// Earlier versions read the program chunk alone, so it is still stored: a
// session saved here opens there with the current sound.
LV2_State_Status IEffectLV2::StoreStateToHost(LV2_State_Store_Function store,
                                              LV2_State_Handle handle) {
  if (programChunkKey == 0) return LV2_STATE_ERR_NO_FEATURE;
  IStateBuffer values;
  IStateBuffer bank;
  int32_t program = 0;
  if (!CopyState(values, bank, program)) return LV2_STATE_ERR_UNKNOWN;
  LV2_State_Status status = store(handle, programChunkKey, values.Data(),
                                  static_cast<size_t>(values.Size()), chunkType, kStoreFlags);
  if (status == LV2_STATE_SUCCESS) {
    status = store(handle, bankChunkKey, bank.Data(), static_cast<size_t>(bank.Size()), chunkType,
                   kStoreFlags);
  }
  if (status == LV2_STATE_SUCCESS)
    status = store(handle, currentProgramKey, &program, sizeof program, intType, kStoreFlags);
  return status;
}

// The program and bank chunks as the base writes them for a host, written
// under the lock into chunks given room for them before it was taken.
bool IEffectLV2::CopyState(IStateBuffer& values, IStateBuffer& bank, int32_t& program) {
  const int32_t valueBytes = 8 * ParameterCount();
  const int32_t recordBytes = 4 + (IPresetSlot::kNameCapacity - 1) + 1 + valueBytes;
  if (!WriteHeaderWithRoom(values, IStateBuffer::kHeaderBytes + valueBytes) ||
      !WriteHeaderWithRoom(bank, IStateBuffer::kHeaderBytes + PresetCount() * recordBytes))
    return false;
  PluginLockGuard guard(Lock());
  program = CurrentPresetIndex();
  return SaveState(values) && AppendBankOfCurrentValues(bank);
}

bool IEffectLV2::HasOwnHeader(const void* data, size_t size) const {
  return data && size >= static_cast<size_t>(IStateBuffer::kHeaderBytes) &&
         std::memcmp(data, defaultChunk.Data(), IStateBuffer::kHeaderBytes) == 0;
}

bool IEffectLV2::IsOwnProgramChunk(const void* data, size_t size) const {
  return size == static_cast<size_t>(defaultChunk.Size()) && HasOwnHeader(data, size);
}

bool IEffectLV2::WriteSlots(IStateBuffer& chunk) {
  return chunk.WriteChunkHeader() && WriteBank(chunk);
}

LV2_State_Status IEffectLV2::RestoreStateFromHost(LV2_State_Retrieve_Function retrieve,
                                                  LV2_State_Handle handle) {
  if (programChunkKey == 0) return LV2_STATE_ERR_NO_FEATURE;
  const auto fetch = [&](LV2_URID key) {
    StoredValue value;
    uint32_t flags = 0;
    value.data = retrieve(handle, key, &value.size, &value.type, &flags);
    return value;
  };
  StoredValue values = fetch(programChunkKey);
  const StoredValue bank = fetch(bankChunkKey);
  const StoredValue program = fetch(currentProgramKey);
  PluginLockGuard guard(Lock());
  if (!values.data && !bank.data)
    values = {defaultChunk.Data(), static_cast<size_t>(defaultChunk.Size()), chunkType};
  if (values.data) {
    if (values.type != chunkType) return LV2_STATE_ERR_BAD_TYPE;
    if (!IsOwnProgramChunk(values.data, values.size)) return LV2_STATE_ERR_UNKNOWN;
  }
  if (bank.data) {
    const LV2_State_Status status = RestoreBank(bank, program);
    if (status != LV2_STATE_SUCCESS) return status;
  }
  // The current values become the current program's, as every program
  // chunk from a host does.
  const bool restored =
      !values.data || ReadChunkFromHost(restoredChunk, values.data,
                                        static_cast<int64_t>(values.size), /*isBank=*/false);
  std::fill(appliedPortBits.begin(), appliedPortBits.end(), kPortNotSeen);
  return restored ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

// The bank reader applies each slot as it reads it, so a bank that does not
// read whole, or leaves bytes unread, is undone by reading back the slots as
// they were; the current program's unstored values are put back last.
LV2_State_Status IEffectLV2::RestoreBank(const StoredValue& bank, const StoredValue& program) {
  if (bank.type != chunkType || program.type != intType) return LV2_STATE_ERR_BAD_TYPE;
  int32_t index = -1;
  if (program.size == sizeof index) std::memcpy(&index, program.data, sizeof index);
  if (!PresetAt(index) || !HasOwnHeader(bank.data, bank.size)) return LV2_STATE_ERR_UNKNOWN;

  IStateBuffer slotsBefore;
  IStateBuffer valuesBefore;
  if (!WriteSlots(slotsBefore) || !WriteProgramChunk(valuesBefore)) return LV2_STATE_ERR_UNKNOWN;
  // The bank reader ends by selecting the current program, so it selects the
  // saved one (and never fills a slot the bank leaves empty).
  const int32_t programBefore = currentPreset;
  currentPreset = index;
  IStateBuffer readBack;
  if (ReadChunkFromHost(restoredChunk, bank.data, static_cast<int64_t>(bank.size), true) &&
      WriteSlots(readBack) && static_cast<size_t>(readBack.Size()) == bank.size)
    return LV2_STATE_SUCCESS;

  currentPreset = programBefore;
  ReadChunkFromHost(restoredChunk, slotsBefore.Data(), slotsBefore.Size(), true);
  LoadState(valuesBefore, IStateBuffer::kHeaderBytes);
  return LV2_STATE_ERR_UNKNOWN;
}
