// The base of the plug-in: identity, parameters, program slots, channel
// configurations and routing, the plug-in lock, host identification and the
// seams at which the effect adds its behaviour and the format binding reaches
// the host. The order of the virtual operations below is part of the design;
// keep it.
//
// Threads. Three kinds of thread call into a plug-in, which has none of its
// own: the host's audio thread (the audio callbacks, and usually the MIDI
// events), any other host thread (the dispatcher and the parameter callbacks;
// typically the host's user-interface thread) and the GUI thread that created
// the editor window (its messages and timer). Every operation below is tagged
// with the threads that may call it: [audio], [host], [gui], or [constructor]
// for what only runs while the plug-in is built, before any host holds it.
//
// The lock rule. The plug-in lock is taken in one layer: by the plug-in's own
// operations (this class, the binding derived from it and the effect), never
// by the C callbacks in front of them. An operation tagged "takes the lock"
// holds it for its whole duration: each one a host or editor thread enters
// through (dispatch, audio and parameter calls, the requests made of the
// host, the editor's calls), and each one that changes what a running block
// reads (the effect's ApplySampleRate, ParameterChanged and
// ProcessingSwitched, the parameter readers and writers). An operation tagged
// "lock held" is only ever a step inside one of those and takes nothing. The
// lock is re-entrant, so operations nest freely, and the host is always
// called with it held. Destruction (effClose) waits for the lock and releases
// it before the plug-in goes, so no call is running while it is destroyed.
#pragma once

#include <cstdint>

#include "framework/HostKind.h"
#include "framework/IChannelRecords.h"
#include "framework/IEditorSeam.h"
#include "framework/IGrowableBuffer.h"
#include "framework/IMidiMessages.h"
#include "framework/IOwnedList.h"
#include "framework/IParameter.h"
#include "framework/IPresetSlot.h"
#include "framework/IStateBuffer.h"
#include "platform/PluginLock.h"

struct SampleConverters;

class IEffectBase {
 public:
  static constexpr int32_t kIdentityNameCapacity = 128;  // 127 characters and the NUL

  IEffectBase(int32_t parameterCount, const char* channelString, int32_t presetCount,
              const char* effectName, const char* productName, const char* makerName,
              int32_t version, int32_t uniqueId, int32_t makerId, int32_t latency,
              int32_t midiFlags, bool usesChunks, bool isInstrument);

  IEffectBase(const IEffectBase&) = delete;
  IEffectBase& operator=(const IEffectBase&) = delete;

  // ---- Virtual operations, in slot order ----
  // [host] effClose, after the lock was released (see the lock rule).
  virtual ~IEffectBase();
  // The rate stored by StoreSampleRate reaches the effect here, and only
  // here. [host] takes the lock.
  virtual void ApplySampleRate();
  // [host, gui] takes the lock.
  virtual void ParameterChanged(int32_t index);
  // inputs/outputs are null when the plug-in has no channel of that side.
  // Allocates nothing. [audio] lock held.
  virtual void ProcessBlock(double** inputs, double** outputs, int32_t frames);
  // [host] lock held.
  virtual void EditorOpened() {}
  // [host] lock held.
  virtual void EditorClosing() {}
  // [host] takes the lock.
  virtual void ProcessingSwitched(bool on);
  // [audio, host] lock held.
  virtual void MidiMessageReceived(const IShortMidi& /*message*/) {}
  // [audio, host] lock held.
  virtual void SysExReceived(const ISysExBlock& /*message*/) {}
  // text has room for at least one character; it is emptied. [host] lock
  // held.
  virtual bool MidiNoteName(int32_t note, char* text);
  // [host] lock held.
  virtual bool SaveState(IStateBuffer& chunk);
  // [host] lock held.
  virtual int32_t LoadState(IStateBuffer& chunk, int32_t position);
  // The requests made of the host, by the editor and the effect. Each takes
  // the lock, so the host is always called with it held.
  // Not in use: kept in its documented place; nothing in the product calls it.
  //   HostSamplePosition, HostTempo, HostTimeSignature: the host's time
  //   SendMidiMessage, SendMidiMessages, SendSystemExclusive: MIDI to the host
  // [gui] takes the lock.
  virtual void HostBeginEdit(int32_t index) = 0;
  // [gui] takes the lock.
  virtual void HostBeginEditUnlessPending(int32_t index) = 0;
  // [host, gui] takes the lock.
  virtual void HostAutomate(int32_t index, double normalized) = 0;
  // [gui] takes the lock.
  virtual void HostEndEdit(int32_t index) = 0;
  // [audio, host, gui] takes the lock.
  virtual void HostRefreshDisplay() = 0;
  // [audio, gui] takes the lock.
  virtual int32_t HostSamplePosition() = 0;
  // [audio, gui] takes the lock.
  virtual double HostTempo() = 0;
  // [audio, gui] takes the lock.
  virtual void HostTimeSignature(int32_t& numerator, int32_t& denominator) = 0;
  // [host, gui] takes the lock (in the binding; the base only reads).
  virtual HostKind QueryHostKind();
  // [constructor, gui] takes the lock.
  virtual void EditorResized(int32_t width, int32_t height) = 0;
  // [host] effOpen; lock held.
  virtual void HostSpecificSetup() = 0;
  // Takes ownership of the editor. [constructor] takes the lock.
  virtual void AttachEditor(IEditorSeam* newEditor);
  // Resizes the scratch buffers: the one operation of the routing that
  // allocates. [constructor, host] lock held.
  virtual void PrepareForBlockSize(int32_t frames);
  // [constructor, or inside a seam] lock held.
  virtual void DeclareLatency(int32_t samples);
  // [audio, gui] takes the lock.
  virtual bool SendMidiMessage(const IShortMidi& message) = 0;
  // [audio, gui] each message takes the lock.
  virtual bool SendMidiMessages(const IShortMidi* messages, int32_t count);
  // [audio, gui] takes the lock.
  virtual bool SendSystemExclusive(const ISysExBlock& message) = 0;
  // [constructor, host, gui] takes the lock.
  virtual bool WriteParameters(IStateBuffer& chunk);
  // [host, gui] takes the lock.
  virtual int32_t ReadParameters(IStateBuffer& chunk, int32_t position);
  // [host] lock held.
  virtual bool WriteBank(IStateBuffer& chunk);
  // [host] lock held.
  virtual int32_t ReadBank(IStateBuffer& chunk, int32_t position);

  // ---- Identity and lists ----
  // Plain reads. Identity and the lists are fixed once constructed; the
  // other values change under the lock, so a reader that may race with a
  // change holds it.
  IParameter* ParameterAt(int32_t index) const { return parameters.At(index); }
  int32_t ParameterCount() const { return parameters.Count(); }
  IPresetSlot* PresetAt(int32_t index) const { return presets.At(index); }
  int32_t PresetCount() const { return presets.Count(); }
  int32_t CurrentPresetIndex() const { return currentPreset; }
  int32_t ChannelConfigCount() const { return channelConfigs.Count(); }
  const IChannelConfig* ChannelConfigAt(int32_t index) const { return channelConfigs.At(index); }
  int32_t InputCount() const { return inputChannels.Count(); }
  int32_t OutputCount() const { return outputChannels.Count(); }
  const IInputChannel* InputChannelAt(int32_t index) const { return inputChannels.At(index); }
  const IOutputChannel* OutputChannelAt(int32_t index) const { return outputChannels.At(index); }

  const char* EffectName() const { return effectName; }
  const char* ProductName() const { return productName; }
  const char* MakerName() const { return makerName; }
  int32_t UniqueId() const { return uniqueId; }
  int32_t MakerId() const { return makerId; }
  int32_t VersionNumber(bool asDecimal) const;
  bool UsesChunks() const { return usesChunks; }
  bool IsInstrument() const { return isInstrument; }
  int32_t MidiFlags() const { return midiFlags; }
  int32_t Latency() const { return latency; }
  int32_t BlockSize() const { return blockSize; }
  HostKind KnownHostKind() const { return hostKind; }
  int32_t HostVersion() const { return hostVersion; }
  int32_t PendingEndEdit() const { return pendingEndEdit; }
  IEditorSeam* Editor() const { return editor; }
  PluginLock& Lock() { return lock; }

  // Keeps the host's rate for ApplySampleRate. [host] lock held.
  void StoreSampleRate(double rate) { sampleRate = rate; }
  double SampleRate() const { return sampleRate; }

  // ---- Channels and blocks ----
  // Connections: [constructor, host] lock held. Routing and the block runs:
  // [audio] lock held; they allocate nothing.
  // A negative count matches any count.
  bool SupportsChannelCounts(int32_t inputs, int32_t outputs) const;
  void ConnectInputs(int32_t first, int32_t count, bool connected);
  void ConnectOutputs(int32_t first, int32_t count, bool connected);
  void RouteInputsDouble(int32_t first, int32_t count, double* const* hostInputs);
  void RouteInputsSingle(int32_t first, int32_t count, const float* const* hostInputs,
                         int32_t frames);
  void RouteOutputsDouble(int32_t first, int32_t count, double* const* hostOutputs);
  void RouteOutputsSingle(int32_t first, int32_t count, float* const* hostOutputs);
  void RunBlockDouble(int32_t frames);
  void RunBlockSingleReplacing(int32_t frames);
  void RunBlockSingleAdding(int32_t frames);
  void UseStereoInputsAllOutputs();

  // ---- Parameters and the editor ----
  // [gui] takes the lock.
  void SetParameterFromEditor(int32_t index, double normalized);
  // [host] lock held.
  void NotifyAllParametersChanged();
  // [host, gui] lock held.
  void PushValuesToEditor();
  // [gui] takes the lock.
  void DeferEndOfEdit(int32_t index);
  // [gui] takes the lock.
  void FlushDeferredEndOfEdit();

  // ---- Host identification ----
  // [host] lock held.
  void IdentifyHost(const char* hostProductName, int32_t version);

  // ---- Programs ----
  // Filling: [constructor]. Selecting, storing and naming: [host, gui] lock
  // held.
  void FillDefaultPresets(const char* name, int32_t count);
  // One value per parameter in index order after the name: an int for
  // Boolean, Integer and Enumerated parameters, a double for the others.
  void AddPresetFromValues(const char* name, ...);
  void EnsureOnePreset();
  bool SelectPreset(int32_t index);
  void StoreIntoCurrentPreset(const char* name);
  const char* PresetName(int32_t index) const;
  // Writes "user preset N" (at most capacity bytes, NUL-terminated).
  void NextUserPresetName(char* text, int32_t capacity) const;

  // ---- Chunk exchange with the host: [host] lock held ----
  // Fill chunk with the header and the current program's values, or with the
  // header and every slot (the current values stored into the current slot
  // first). True when the chunk holds it all.
  bool WriteProgramChunk(IStateBuffer& chunk);
  bool WriteBankChunk(IStateBuffer& chunk);
  // Appends the slots as WriteBankChunk writes them, the current values in
  // the current slot, but leaves the slots as they are. Allocates nothing
  // when chunk has room for them. [host, gui] takes the lock.
  bool AppendBankOfCurrentValues(IStateBuffer& chunk);
  // Copies size bytes into chunk and restores from them: a bank (isBank)
  // with the header is read slot by slot, anything else as a parameter
  // values block that then becomes the current program. True on success;
  // what was read before a failure stays applied. A negative size fails
  // without touching anything.
  bool ReadChunkFromHost(IStateBuffer& chunk, const void* bytes, int64_t size, bool isBank);

 protected:
  IOwnedList<IChannelConfig> channelConfigs;
  IOwnedList<IParameter> parameters;
  IOwnedList<IPresetSlot> presets;
  int32_t currentPreset = 0;
  int32_t pendingEndEdit = -1;
  PluginLock lock;
  char effectName[kIdentityNameCapacity] = {};
  char productName[kIdentityNameCapacity] = {};
  char makerName[kIdentityNameCapacity] = {};
  int32_t uniqueId;
  int32_t makerId;
  int32_t version;
  HostKind hostKind = HostKind::NotQueried;
  int32_t hostVersion = 0;
  bool usesChunks;
  bool isInstrument;
  int32_t midiFlags;
  double sampleRate = 44100.0;
  int32_t blockSize = 0;
  int32_t latency;
  IEditorSeam* editor = nullptr;
  IGrowableBuffer inputPointers{4096};
  IGrowableBuffer outputPointers{4096};
  IOwnedList<IInputChannel> inputChannels;
  IOwnedList<IOutputChannel> outputChannels;

 private:
  int32_t scratchFrames = 0;
  const SampleConverters& converters;
  void ParseChannelString(const char* channelString, int32_t& maxInputs, int32_t& maxOutputs);
  void CreateChannels(int32_t inputCount, int32_t outputCount);
  void CreatePresetSlots(int32_t presetCount);
  double** InputPointerArray() const;
  double** OutputPointerArray() const;
  // Frames every scratch buffer can hold; blocks longer than this run in
  // pieces. Measured when the buffers change, read by every block.
  int32_t ScratchFrames() const { return scratchFrames; }
  int32_t MeasureScratchFrames() const;
  bool AnyChannelOnScratch() const;
  void ConvertInputsSingle(int32_t firstChannel, int32_t endChannel, int32_t offset,
                           int32_t frames);
  void PointConnectedChannelsAtHostDouble(int32_t offset);
  void WriteOutputsSingle(int32_t offset, int32_t frames, bool adding);
  void SilenceOutputsSingle(int32_t frames);
  void RunBlockSingle(int32_t frames, bool adding);
  IPresetSlot* FirstUninitializedSlot() const;
  bool StoreChunkFromHost(IStateBuffer& chunk, const void* bytes, int64_t size);
  int32_t ReadBankRecord(IPresetSlot& slot, IStateBuffer& chunk, int32_t position);
  bool WriteBankRecords(IStateBuffer& chunk, int32_t valuesSlot);
};
