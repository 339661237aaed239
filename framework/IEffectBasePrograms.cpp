// The program slots: filling, selecting, storing and naming programs.
#include "framework/IEffectBase.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUserPresetWord = "user preset";

bool TakesIntegerArgument(ParamKind kind) {
  return kind == ParamKind::Boolean || kind == ParamKind::Integer || kind == ParamKind::Enumerated;
}

}  // namespace

IPresetSlot* IEffectBase::FirstUninitializedSlot() const {
  for (int32_t i = 0; i < PresetCount(); ++i) {
    IPresetSlot* slot = PresetAt(i);
    if (!slot->initialized) return slot;
  }
  return nullptr;
}

// Every way of filling a slot starts from an empty chunk (IPresetSlot::Fill):
// a slot a bank marked uninitialised may still hold its old values, and
// appending after them would leave a block of the wrong length.
void IEffectBase::FillDefaultPresets(const char* name, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    IPresetSlot* slot = FirstUninitializedSlot();
    if (!slot) continue;
    slot->Fill(name ? name : "Default",
               [this](IStateBuffer& chunk) { return WriteParameters(chunk); });
  }
}

void IEffectBase::AddPresetFromValues(const char* name, ...) {
  IPresetSlot* slot = FirstUninitializedSlot();
  if (!slot) return;
  va_list values;
  va_start(values, name);
  slot->Fill(name, [&](IStateBuffer& chunk) {
    bool complete = true;
    for (int32_t i = 0; i < ParameterCount() && complete; ++i) {
      const double v = TakesIntegerArgument(ParameterAt(i)->kind)
                           ? static_cast<double>(va_arg(values, int))
                           : va_arg(values, double);
      const int32_t before = chunk.Size();
      complete = chunk.AppendValue(v) == before + 8;
    }
    return complete;
  });
  va_end(values);
}

void IEffectBase::EnsureOnePreset() {
  if (PresetCount() > 0) return;
  CreatePresetSlots(1);
  FillDefaultPresets(nullptr, 1);
}

bool IEffectBase::SelectPreset(int32_t index) {
  IPresetSlot* slot = PresetAt(index);
  if (!slot) return false;
  bool ok;
  if (slot->initialized) {
    ok = ReadParameters(slot->chunk, 0) > 0;
  } else {
    char userName[IPresetSlot::kNameCapacity];
    NextUserPresetName(userName, sizeof userName);
    ok = slot->Fill(userName, [this](IStateBuffer& chunk) { return WriteParameters(chunk); });
  }
  if (ok) {
    currentPreset = index;
    PushValuesToEditor();
  }
  return ok;
}

void IEffectBase::StoreIntoCurrentPreset(const char* name) {
  IPresetSlot* slot = PresetAt(currentPreset);
  if (!slot) return;
  slot->chunk.Empty();
  WriteParameters(slot->chunk);
  if (name && name[0] != '\0') slot->SetName(name);
}

const char* IEffectBase::PresetName(int32_t index) const {
  const IPresetSlot* slot = PresetAt(index);
  return slot ? slot->name : "";
}

void IEffectBase::NextUserPresetName(char* text, int32_t capacity) const {
  if (!text || capacity <= 0) return;
  int32_t taken = 0;
  for (int32_t i = 0; i < PresetCount(); ++i) {
    if (std::strstr(PresetAt(i)->name, kUserPresetWord)) ++taken;
  }
  std::snprintf(text, static_cast<size_t>(capacity), "%s %d", kUserPresetWord,
                static_cast<int>(taken + 1));
}
