// One plug-in instance as a host holds it: created through the module's entry
// point and afterwards reached only through its effect record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/vst/RecordingHost.h"
#include "vst/VstInterface.h"

class HostedPlugin {
 public:
  HostedPlugin(VstPluginMainProc entry, RecordingHost& host);
  ~HostedPlugin();  // closes the instance unless the test already did
  HostedPlugin(const HostedPlugin&) = delete;
  HostedPlugin& operator=(const HostedPlugin&) = delete;

  AEffect* Effect() const { return effect_; }
  bool IsOpen() const { return effect_ != nullptr; }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f) const;
  // A text request with a generous, pre-filled buffer, so that a missing
  // terminator or an overlong copy shows up in the result.
  std::string Text(int32_t opcode, int32_t index = 0, intptr_t value = 0, float opt = 0.0f) const;
  void Close();

  // Convenience for the usual start of a session.
  void OpenAndStart(float sampleRate, intptr_t blockSize);

  void SetParameter(int32_t index, float value) const {
    effect_->setParameter(effect_, index, value);
  }
  float GetParameter(int32_t index) const { return effect_->getParameter(effect_, index); }

  std::vector<uint8_t> Chunk(bool isProgram) const;
  intptr_t SetChunk(bool isProgram, const std::vector<uint8_t>& bytes) const;

 private:
  AEffect* effect_ = nullptr;
};
