// Binds the plug-in base to VST 3. One instance sits behind the audio
// processor (it renders), another behind the edit controller (it answers for
// the parameters, programs and panel); both run the same code, so texts,
// programs and states agree between the two. The host's parameter changes
// arrive at sample offsets and split the block there; everything else is the
// VST 2 binding's behaviour: the same parameter conversions, the same program
// switch, the same chunks.
//
// Threads as in the base: the processor's audio calls take the lock for the
// whole block; the host's other calls take it per operation.
#pragma once

#include <cstdint>

#include "framework/IHostlessEffectBase.h"
#include "framework/IStateBuffer.h"
#include "vst3/IVst3EditSink.h"

class IEffectVST3 : public IHostlessEffectBase {
 public:
  // edits is null for the processor's instance, which nobody edits.
  IEffectVST3(IVst3EditSink* edits, int32_t parameterCount, const char* channelString,
              int32_t presetCount, const char* effectTitle, const char* productTitle,
              const char* vendorTitle, int32_t effectVersion, int32_t pluginId, int32_t vendorId,
              int32_t latencySamples, int32_t midi, bool chunks, bool instrument);
  ~IEffectVST3() override;

  // ---- Processing setup. [host] takes the lock ----
  void SetSampleRate(double rate);
  void SetMaxBlockSize(int32_t frames);
  // Mono (1) or stereo (2) on both sides; the channels beyond are
  // disconnected, as a VST 2 speaker arrangement does.
  void SetChannelCounts(int32_t inputs, int32_t outputs);
  void SetActive(bool on);

  // ---- Blocks: [audio] lock held by the caller; allocate nothing ----
  // Pointers to the host's channels, already advanced to the piece.
  void RunSingle(float* const* inputs, float* const* outputs, int32_t inputCount,
                 int32_t outputCount, int32_t frames);
  void RunDouble(double* const* inputs, double* const* outputs, int32_t inputCount,
                 int32_t outputCount, int32_t frames);

  // ---- Parameters, [host, audio] takes the lock ----
  // As the VST 2 binding's setParameter: shown to the editor, stepped, applied.
  void SetParameterFromHost(int32_t index, double normalized);
  double ParameterNormalized(int32_t index);
  // The normalised value the text gives, as VST 2's effString2Parameter
  // would set it; false for an unknown index.
  bool NormalizedFromText(int32_t index, const char* text, double& normalized);
  // As effSetProgram: the edits stay with the program being left. Allocates
  // nothing once every slot holds a program block.
  void ChangeProgram(int32_t index);

  // ---- State, [host] takes the lock ----
  // The bank chunk followed by the current program (Vst3StateFormat.h).
  bool WriteState(IStateBuffer& state);
  // The own state, or a VST 2 host's hand-over record. Anything else is
  // refused and changes nothing. bypass receives the hand-over's bypass
  // flag, or -1 when the bytes carry none.
  bool ReadState(const uint8_t* bytes, int64_t size, int32_t& bypass);

  // Host services: the edits go to the sink, the rest stays unanswered.
  void HostBeginEdit(int32_t index) override;
  void HostBeginEditUnlessPending(int32_t index) override;
  void HostAutomate(int32_t index, double normalized) override;
  void HostEndEdit(int32_t index) override;

  static constexpr int32_t kMaxScratchFrames = 1 << 16;
  static constexpr int32_t kInitialBlockSize = 1024;

 private:
  bool ApplyOwnState(const uint8_t* bytes, int32_t size, int32_t program);
  bool ApplyProgramValues(int32_t slot, const char* name, const float* normalized);

  IVst3EditSink* edits;
  IStateBuffer chunk;
};
