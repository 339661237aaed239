// A plug-in base with recording host services, the nine integer parameters
// of the real effect (so chunk sizes and values match it) and an editor that
// records what the base asks of it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/IEffectBase.h"
#include "tests/effect/ProductTable.h"

// The values of the real effect's parameters at their defaults.
inline const std::vector<double> kDefaults = product::As<double>(product::kDefaults);

// The parameter values block a program slot holds, value by value.
inline std::vector<double> SlotValues(const IPresetSlot& slot) {
  std::vector<double> values;
  double v;
  for (int32_t p = 0; slot.chunk.ReadValue(p, v) >= 0; p += 8) values.push_back(v);
  return values;
}

struct HostEvent {
  std::string what;
  int32_t index;
  double value;
  bool operator==(const HostEvent&) const = default;
};

class RecordingEditor : public IEditorSeam {
 public:
  struct Shown {
    int32_t index;
    double value;
    bool normalised;
  };

  explicit RecordingEditor(int32_t fps = 24, bool* destroyed = nullptr)
      : framesPerSecond(fps), destroyedFlag(destroyed) {}
  ~RecordingEditor() override {
    if (destroyedFlag) *destroyedFlag = true;
  }

  void StartEndEditCountdown(int32_t ticks) override { countdowns.push_back(ticks); }
  void StopEndEditCountdown() override { ++stops; }
  void* OpenEditorWindow(const IParentWindow&) override { return nullptr; }
  void CloseEditorWindow() override {}
  void ShowParameterValue(int32_t paramIdx, double value, bool isNormalised) override {
    shown.push_back({paramIdx, value, isNormalised});
  }
  void CreateBackBuffer() override { backBufferAfterShown = static_cast<int32_t>(shown.size()); }
  int32_t Width() const override { return 488; }
  int32_t Height() const override { return 282; }
  int32_t FramesPerSecond() const override { return framesPerSecond; }

  std::vector<Shown> shown;
  std::vector<int32_t> countdowns;
  int32_t stops = 0;
  int32_t backBufferAfterShown = -1;

 private:
  int32_t framesPerSecond;
  bool* destroyedFlag;
};

class TestEffect : public IEffectBase {
 public:
  explicit TestEffect(const char* channels = "1-1 2-2", int32_t parameterCount = 9,
                      int32_t presetCount = product::kProgramSlots,
                      const char* name = product::kName,
                      int32_t packedVersion = product::kPackedVersion)
      : IEffectBase(parameterCount, channels, presetCount, name, "", product::kMaker, packedVersion,
                    product::kUniqueId, product::kMakerId, 0, 0, false, false) {}

  // The real effect's parameter table: Split Freq (shape 2), then eight
  // percentages.
  void DefineEffectParameters() {
    for (int32_t i = 0; i < ParameterCount() && i < product::kParameterCount; ++i) {
      const product::ParameterRow& row = product::kParameters[i];
      ParameterAt(i)->DefineInteger(row.name, row.def, row.min, row.max, row.label);
      ParameterAt(i)->SetShapeExponent(row.shape);
    }
  }

  // A program of the nine integer parameters, through the variadic call.
  void AddProgram(const char* name, const product::Values& v) {
    AddPresetFromValues(name, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  }

  std::vector<double> Values() const {
    std::vector<double> values;
    for (int32_t i = 0; i < ParameterCount(); ++i) values.push_back(ParameterAt(i)->value);
    return values;
  }

  void ParameterChanged(int32_t index) override {
    IEffectBase::ParameterChanged(index);
    events.push_back({"changed", index, ParameterAt(index) ? ParameterAt(index)->value : 0.0});
  }

  void ProcessBlock(double** inputs, double** outputs, int32_t frames) override {
    ++blocks;
    lastInputs = inputs;
    lastOutputs = outputs;
    if (frames > longestPiece) longestPiece = frames;
    if (processor) {
      processor(inputs, outputs, frames);
    } else {
      IEffectBase::ProcessBlock(inputs, outputs, frames);
    }
  }

  void HostBeginEdit(int32_t index) override { events.push_back({"begin", index, 0.0}); }
  void HostBeginEditUnlessPending(int32_t index) override {
    events.push_back({"beginUnlessPending", index, 0.0});
  }
  void HostAutomate(int32_t index, double normalized) override {
    events.push_back({"automate", index, normalized});
  }
  void HostEndEdit(int32_t index) override { events.push_back({"end", index, 0.0}); }
  void HostRefreshDisplay() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int32_t& numerator, int32_t& denominator) override {
    numerator = denominator = 0;
  }
  void EditorResized(int32_t, int32_t) override {}
  void HostSpecificSetup() override {}
  bool SendMidiMessage(const IShortMidi& message) override {
    sentMidi.push_back(message.status);
    return message.status != 0xFF;
  }
  bool SendSystemExclusive(const ISysExBlock&) override { return false; }

  int32_t CountEvents(const std::string& what) const {
    int32_t n = 0;
    for (const HostEvent& e : events) n += e.what == what ? 1 : 0;
    return n;
  }

  std::vector<HostEvent> events;
  std::vector<uint8_t> sentMidi;
  int32_t blocks = 0;
  int32_t longestPiece = 0;
  double** lastInputs = nullptr;
  double** lastOutputs = nullptr;
  std::function<void(double**, double**, int32_t)> processor;
};
