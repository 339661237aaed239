// Serialising parameters and programs, and the chunk exchange with the host.
#include "framework/IEffectBase.h"

#include <cstring>

bool IEffectBase::WriteParameters(IStateBuffer& chunk) {
  PluginLockGuard guard(lock);
  bool ok = true;
  for (int32_t i = 0; i < ParameterCount() && ok; ++i) {
    const int32_t before = chunk.Size();
    ok = chunk.AppendValue(ParameterAt(i)->value) == before + 8;
  }
  return ok;
}

int32_t IEffectBase::ReadParameters(IStateBuffer& chunk, int32_t position) {
  PluginLockGuard guard(lock);
  for (int32_t i = 0; i < ParameterCount() && position >= 0; ++i) {
    double v = 0.0;
    position = chunk.ReadValue(position, v);
    if (position < 0) v = 0.0;
    ParameterAt(i)->SetValueClamped(v);
  }
  // Every parameter, also when reading stopped early: the effect's derived
  // quantities must follow whatever the parameters now hold.
  for (int32_t i = 0; i < ParameterCount(); ++i) ParameterChanged(i);
  return position;
}

bool IEffectBase::WriteBank(IStateBuffer& chunk) { return WriteBankRecords(chunk, -1); }

bool IEffectBase::AppendBankOfCurrentValues(IStateBuffer& chunk) {
  PluginLockGuard guard(lock);
  return WriteBankRecords(chunk, currentPreset);
}

// Every slot's record: name, initialised flag, values when initialised; the
// slot at valuesSlot is written with the current values instead of its own.
bool IEffectBase::WriteBankRecords(IStateBuffer& chunk, int32_t valuesSlot) {
  bool ok = true;
  for (int32_t i = 0; i < PresetCount() && ok; ++i) {
    const IPresetSlot* slot = PresetAt(i);
    const bool fromValues = i == valuesSlot;
    const int32_t before = chunk.Size();
    const int32_t nameBytes = static_cast<int32_t>(std::strlen(slot->name));
    ok = chunk.AppendString(slot->name) == before + 4 + nameBytes;
    const uint8_t flag = slot->initialized || fromValues ? 1 : 0;
    ok = ok && chunk.AppendBytes(&flag, 1);
    if (ok && fromValues) {
      ok = WriteParameters(chunk);
    } else if (ok && slot->initialized) {
      ok = chunk.AppendBytes(slot->chunk.Data(), slot->chunk.Size());
    }
  }
  return ok;
}

// One slot's record: name, initialised flag, values when initialised.
int32_t IEffectBase::ReadBankRecord(IPresetSlot& slot, IStateBuffer& chunk, int32_t position) {
  const bool wasInitialized = slot.initialized;
  char previousName[IPresetSlot::kNameCapacity];
  std::memcpy(previousName, slot.name, sizeof previousName);

  char name[IPresetSlot::kNameCapacity];
  const int32_t flagAt = chunk.ReadString(position, name, sizeof name);
  slot.SetName(name);
  bool flagRead = false;
  if (flagAt < 0 || flagAt >= chunk.Size()) {
    position = -1;
  } else {
    slot.initialized = chunk.Data()[flagAt] != 0;
    position = flagAt + 1;
    flagRead = true;
  }
  if (!slot.initialized) return position;

  position = ReadParameters(chunk, position);
  if (position > 0) {
    slot.chunk.Clear();
    WriteParameters(slot.chunk);
  } else if (flagRead) {
    // The record promised values it did not deliver: the slot keeps what it
    // was, so it never claims a program it cannot give back.
    slot.initialized = wasInitialized;
    std::memcpy(slot.name, previousName, sizeof previousName);
  }
  return position;
}

int32_t IEffectBase::ReadBank(IStateBuffer& chunk, int32_t position) {
  for (int32_t i = 0; i < PresetCount() && position >= 0; ++i) {
    position = ReadBankRecord(*PresetAt(i), chunk, position);
  }
  // The records went through the live parameters; end on the current
  // program's values.
  SelectPreset(currentPreset);
  return position;
}

bool IEffectBase::WriteProgramChunk(IStateBuffer& chunk) {
  if (!chunk.WriteChunkHeader()) return false;
  return SaveState(chunk) && chunk.Size() > 0;
}

bool IEffectBase::WriteBankChunk(IStateBuffer& chunk) {
  if (!chunk.WriteChunkHeader()) return false;
  StoreIntoCurrentPreset(nullptr);
  return WriteBank(chunk) && chunk.Size() > 0;
}

bool IEffectBase::StoreChunkFromHost(IStateBuffer& chunk, const void* bytes, int64_t size) {
  if (size < 0 || size > INT32_MAX || (size > 0 && !bytes)) return false;
  const auto length = static_cast<int32_t>(size);
  chunk.ResizeZeroFilled(length);
  if (chunk.Size() != length) return false;
  if (length > 0) std::memcpy(chunk.Data(), bytes, static_cast<size_t>(length));
  return true;
}

bool IEffectBase::ReadChunkFromHost(IStateBuffer& chunk, const void* bytes, int64_t size,
                                    bool isBank) {
  if (!StoreChunkFromHost(chunk, bytes, size)) return false;

  // A chunk without the header is a bare parameter values block from its
  // first byte; one with the magic but no room for the version is refused.
  int32_t position = 0;
  int32_t chunkVersion = 0;
  int32_t magic = 0;
  if (chunk.ReadInt32(0, magic) >= 0 && magic == IStateBuffer::kChunkMagic) {
    position = chunk.ReadInt32(4, chunkVersion) >= 0 ? IStateBuffer::kHeaderBytes : -1;
  }

  int32_t result;
  if (isBank && chunkVersion >= IStateBuffer::kChunkVersion) {
    result = ReadBank(chunk, position);
  } else {
    result = LoadState(chunk, position);
    StoreIntoCurrentPreset(nullptr);
  }
  if (result < 0) return false;
  PushValuesToEditor();
  return true;
}
