#include "tests/vst/HostedPlugin.h"

#include <cstring>

HostedPlugin::HostedPlugin(VstPluginMainProc entry, RecordingHost& host) {
  effect_ = entry ? entry(&RecordingHost::Callback) : nullptr;
  if (effect_) host.Claim(effect_);
}

HostedPlugin::~HostedPlugin() { Close(); }

intptr_t HostedPlugin::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                float opt) const {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string HostedPlugin::Text(int32_t opcode, int32_t index, intptr_t value, float opt) const {
  char buffer[512];
  std::memset(buffer, 'x', sizeof buffer);
  buffer[sizeof buffer - 1] = '\0';
  Dispatch(opcode, index, value, buffer, opt);
  return buffer;
}

void HostedPlugin::Close() {
  if (!effect_) return;
  Dispatch(effClose);
  effect_ = nullptr;
}

void HostedPlugin::OpenAndStart(float sampleRate, intptr_t blockSize) {
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effMainsChanged, 0, 1);
}

std::vector<uint8_t> HostedPlugin::Chunk(bool isProgram) const {
  void* data = nullptr;
  const intptr_t size = Dispatch(effGetChunk, isProgram ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t HostedPlugin::SetChunk(bool isProgram, const std::vector<uint8_t>& bytes) const {
  std::vector<uint8_t> copy = bytes;  // hosts may free theirs right after
  uint8_t none = 0;
  return Dispatch(effSetChunk, isProgram ? 1 : 0, static_cast<intptr_t>(copy.size()),
                  copy.empty() ? &none : copy.data());
}
