// Binds the plug-in base to the VST 2.4 interface: fills the effect record
// that the host drives, answers the host's dispatcher requests and audio and
// parameter calls, and passes the plug-in's own requests to the host. Threads
// and the lock follow the rule at the top of framework/IEffectBase.h: these
// operations take the lock, the C callbacks in front of them do not.
#pragma once

#include <cstdint>

#include "framework/IEffectBase.h"
#include "framework/IStateBuffer.h"
#include "vst/VstInterface.h"

class IEffectVST : public IEffectBase {
 public:
  IEffectVST(audioMasterCallback host, int32_t parameterCount, const char* channelString,
             int32_t presetCount, const char* effectTitle, const char* productTitle,
             const char* vendorTitle, int32_t effectVersion, int32_t pluginId, int32_t vendorId,
             int32_t latencySamples, int32_t midi, bool chunks, bool instrument);
  ~IEffectVST() override;

  // The record handed to the host; its `object` leads back here.
  AEffect* Effect() { return &effect; }
  // The plug-in behind a record, or null. [audio, host] no lock.
  static IEffectVST* FromEffect(AEffect* record);

  // One host request through the dispatcher. effClose is not handled here:
  // closing destroys the plug-in and so lives with the callback, which waits
  // for the lock and releases it first. [host; effProcessEvents usually from
  // audio] takes the lock, except for effEditIdle, the editor's window work
  // on the GUI thread, which takes it only where it reaches the plug-in (as
  // a window timer's would).
  intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

  // The audio callbacks. [audio] takes the lock.
  void ProcessSingle(float** inputs, float** outputs, int32_t frames, bool adding);
  void ProcessDouble(double** inputs, double** outputs, int32_t frames);
  // The parameter callbacks. [host, audio] takes the lock.
  void SetParameterFromHost(int32_t index, float normalized);
  float ParameterForHost(int32_t index);

  // Host services: threads and lock as declared in IEffectBase.
  void HostBeginEdit(int32_t index) override;
  void HostBeginEditUnlessPending(int32_t index) override;
  void HostAutomate(int32_t index, double normalized) override;
  void HostEndEdit(int32_t index) override;
  void HostRefreshDisplay() override;
  int32_t HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int32_t& numerator, int32_t& denominator) override;
  HostKind QueryHostKind() override;
  void EditorResized(int32_t width, int32_t height) override;
  void HostSpecificSetup() override;
  void AttachEditor(IEditorSeam* newEditor) override;
  void DeclareLatency(int32_t samples) override;
  bool SendMidiMessage(const IShortMidi& message) override;
  bool SendSystemExclusive(const ISysExBlock& message) override;

  // Scratch buffers are never sized beyond this many frames; longer host
  // blocks are processed in pieces by the base, so a host announcing an
  // absurd block size cannot make the plug-in reserve gigabytes.
  static constexpr int32_t kMaxScratchFrames = 1 << 16;
  // The frames the binding prepares for before the host announces a size.
  static constexpr int32_t kInitialBlockSize = 1024;

 private:
  // Dispatcher requests by concern; each lives in the IEffectVST*.cpp file of
  // that concern.
  intptr_t DispatchPrograms(int32_t opcode, int32_t index, intptr_t value, void* ptr);
  intptr_t DispatchParameterTexts(int32_t opcode, int32_t index, void* ptr);
  intptr_t DispatchProcessingSetup(int32_t opcode, intptr_t value, float opt);
  intptr_t DispatchEditor(int32_t opcode, void* ptr);
  intptr_t DispatchIdentity(int32_t opcode, void* ptr);
  intptr_t DispatchChannels(int32_t opcode, int32_t index, intptr_t value, void* ptr);

  intptr_t Open();
  intptr_t StringToParameter(int32_t index, const char* text);
  intptr_t ProgramNameIndexed(int32_t index, char* text);
  intptr_t GetChunk(int32_t index, void** destination);
  intptr_t SetChunk(int32_t index, intptr_t size, const void* bytes);
  intptr_t ProcessEvents(const VstEvents* events);
  intptr_t PinProperties(int32_t index, int32_t channelCount, const char* prefix,
                         VstPinProperties* properties) const;
  intptr_t SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                 const VstSpeakerArrangement* outputs);
  intptr_t CanDo(const char* text) const;
  intptr_t VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t MidiKeyNameOf(MidiKeyName* key);

  intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  const VstTimeInfo* HostTimeInfo(int32_t wanted);
  void FillEffectRecord();
  int32_t EffectFlags() const;
  void CopyChannelCountsToRecord();
  static void FillSpeakerArrangement(VstSpeakerArrangement& arrangement, int32_t channels);

  ERect editorRect{};
  audioMasterCallback hostCallback;
  VstSpeakerArrangement inputArrangement{};
  VstSpeakerArrangement outputArrangement{};
  bool hostIdentified = false;
  IStateBuffer programChunk;
  IStateBuffer bankChunk;
  AEffect effect{};
};
