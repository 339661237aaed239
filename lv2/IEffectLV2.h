// Binds the plug-in base to LV2: one audio port per input and output channel,
// then one control port per parameter in index order, in the parameter's own
// units; the parameters follow their ports at the start of every block; the
// state is the current values, the bank of programs and the current program.
//
// Threads, in LV2's threading classes:
// - instantiation class (the constructor, Prepare, Activate, Deactivate,
//   RestoreStateFromHost, destruction): never concurrent with any other call
//   on the instance;
// - audio class (ConnectPort, Run): the host's audio thread;
// - StoreStateToHost: any host thread, also while Run runs.
// Run holds the plug-in lock for the whole block; StoreStateToHost holds it
// only while it copies the values and the programs into storage sized
// beforehand, so the audio thread never waits for more than that (nor for an
// allocation).
//
// The host's control ports decide the sound: a port whose value changed since
// the previous block is applied before the block runs. After a state restore
// every connected port is applied again at the next block, because a host
// restores its ports together with the state and its controls must show what
// is heard.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <vector>

#include "framework/IHostlessEffectBase.h"
#include "framework/IStateBuffer.h"

class IEffectLV2 : public IHostlessEffectBase {
 public:
  // The host's feature list may be null; without urid:map the plug-in runs
  // but cannot save or restore state.
  IEffectLV2(const LV2_Feature* const* features, int32_t parameterCount, const char* channelString,
             int32_t presetCount, const char* effectTitle, const char* productTitle,
             const char* vendorTitle, int32_t effectVersion, int32_t pluginId, int32_t vendorId,
             int32_t latencySamples, int32_t midi, bool chunks, bool instrument);
  ~IEffectLV2() override;

  // ---- Ports: audio inputs, audio outputs, then the parameters ----
  uint32_t AudioInputPortCount() const { return static_cast<uint32_t>(InputCount()); }
  uint32_t AudioOutputPortCount() const { return static_cast<uint32_t>(OutputCount()); }
  uint32_t FirstControlPort() const { return AudioInputPortCount() + AudioOutputPortCount(); }
  uint32_t PortCount() const {
    return FirstControlPort() + static_cast<uint32_t>(ParameterCount());
  }

  // Instantiation class, once after construction: takes the host's sample
  // rate, sizes the buffers and defines every derived quantity.
  void Prepare(double rate);
  void Activate();
  void Deactivate();

  // Audio class. Data may be null (the port is then ignored: an input reads
  // silence, an output is not written, a control keeps its parameter).
  void ConnectPort(uint32_t port, void* data);
  // Any number of frames, also 0 (which only applies the control ports).
  void Run(uint32_t frames);

  // Three keys: the program chunk (the current values, all that earlier
  // versions stored and still all they read), the bank chunk (every slot's
  // name and values, as the VST 2 bank chunk holds them) and the current
  // program's index. A restore reads the slots, selects the current program,
  // then applies the current values. A map without the program chunk and
  // the bank resets the parameters to their defaults; a map with only the
  // program chunk restores the current values as earlier versions did. A
  // value that is not this plug-in's, or a bank that does not read whole, is
  // refused and changes nothing.
  LV2_State_Status StoreStateToHost(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status RestoreStateFromHost(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle handle);

  // Host services: a plug-in without a user interface of its own has no way
  // to reach an LV2 host, so the hostless base's do-nothing answers stand.

  // The frames the scratch buffers hold; longer blocks run in pieces.
  static constexpr int32_t kScratchFrames = 4096;

 private:
  static constexpr uint64_t kPortNotSeen = UINT64_MAX;

  void ApplyControlPorts();
  // The same steps as a parameter change from any host: the value stepped
  // and limited by the parameter, then the effect's reaction. NaN has no
  // side to be limited to and is ignored.
  void SetParameterFromPort(int32_t index, float value);
  void RunPiece(uint32_t offset, int32_t frames);
  struct StoredValue {
    const void* data = nullptr;
    size_t size = 0;
    uint32_t type = 0;
  };
  bool CopyState(IStateBuffer& values, IStateBuffer& bank, int32_t& program);
  bool HasOwnHeader(const void* data, size_t size) const;
  bool IsOwnProgramChunk(const void* data, size_t size) const;
  LV2_State_Status RestoreBank(const StoredValue& bank, const StoredValue& program);
  bool WriteSlots(IStateBuffer& chunk);

  LV2_URID programChunkKey = 0;  // 0: the host maps no URIs
  LV2_URID bankChunkKey = 0;
  LV2_URID currentProgramKey = 0;
  LV2_URID chunkType = 0;
  LV2_URID intType = 0;
  std::vector<float*> audioPorts;
  std::vector<float*> pieceAudio;  // audioPorts advanced to the current piece
  std::vector<const float*> controlPorts;
  std::vector<uint64_t> appliedPortBits;
  IStateBuffer defaultChunk;
  IStateBuffer restoredChunk;
};
