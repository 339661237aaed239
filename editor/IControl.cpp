#include "editor/IControl.h"

#include <cstdio>
#include <cstring>

#include "editor/IEditor.h"
#include "editor/IGestureMath.h"
#include "framework/IEffectBase.h"

IControl::IControl(IEffectBase* owner, const IBounds& area, int32_t parameterIndex)
    : plugin(owner), rect(area), targetRect(area), paramIdx(parameterIndex) {}

void IControl::MousePressed(int32_t, int32_t, const IMouseKeys& keys) {
  if (keys.R) PromptForValue();
}

void IControl::MouseDoubleClicked(int32_t, int32_t, const IMouseKeys&) {
  if (defaultValue < 0) return;
  value = defaultValue;
  MarkChanged(true);
}

void IControl::MouseWheelTurned(int32_t, int32_t, const IMouseKeys& keys, int32_t notches) {
  value = WheelValue(value, notches, keys.Fine());
  MarkChanged(true);
}

void IControl::ApplyHostValue(double v) {
  if (defaultValue < 0) {
    defaultValue = v;
  } else if (v == value) {
    return;
  }
  value = v;
  MarkChanged(false);
  redrawNext = true;
}

void IControl::ApplyTypedValue(double v) {
  if (v != value) value = v;
  textEntryOpen = false;
  MarkChanged(true);
  redrawNext = true;
}

void IControl::SetHidden(bool hide) {
  hidden = hide;
  redrawNext = true;
  MarkChanged(false);
}

void IControl::SetGrayed(bool grey) {
  grayed = grey;
  blend.weight = grey ? 0.25f : 1.0f;
  MarkChanged(false);
}

void IControl::MarkChanged(bool push) {
  // Written so that a NaN (which fails every comparison) lands on the
  // minimum instead of reaching the plug-in.
  if (!(value >= minValue)) value = minValue;
  if (value > maxValue) value = maxValue;
  dirty = true;
  if (push && plugin && paramIdx >= 0) plugin->SetParameterFromEditor(paramIdx, value);
}

void IControl::MarkPainted() {
  dirty = redrawNext;
  redrawNext = false;
}

void IControl::PromptForValue() {
  IParameter* parameter = Parameter();
  IEditor* editor = Editor();
  if (!parameter || !editor || noTextEntry) return;
  editor->EditParameterText(this, parameter);
  redrawNext = true;
}

// Sends nothing: a commit has already sent its value inside its own gesture,
// and a cancelled entry has no value to send, so no automate ever reaches the
// host outside a begin/end pair.
void IControl::EndTextEntry() {
  textEntryOpen = false;
  MarkChanged(false);
  redrawNext = true;
}

IParameter* IControl::Parameter() const {
  return plugin && paramIdx >= 0 ? plugin->ParameterAt(paramIdx) : nullptr;
}

IEditor* IControl::Editor() const {
  return plugin ? dynamic_cast<IEditor*>(plugin->Editor()) : nullptr;
}

void IControl::ValueText(char* text, int32_t capacity, bool withLabel) const {
  if (!text || capacity <= 0) return;
  text[0] = '\0';
  const IParameter* parameter = Parameter();
  if (!parameter) return;
  parameter->FormatValue(parameter->SteppedValueOf(value), false, text, capacity);
  if (!withLabel || text[0] == '\0') return;
  const size_t used = std::strlen(text);
  std::snprintf(text + used, capacity - used, "%s", parameter->Label());
}

bool IControl::TakePostedHostValue() {
  if (!valuePosted.exchange(false, std::memory_order_acquire)) return false;
  ApplyHostValue(postedValue.load(std::memory_order_relaxed));
  return true;
}

void IControl::PostHostValue(double v) {
  postedValue.store(v, std::memory_order_relaxed);
  valuePosted.store(true, std::memory_order_release);
}
