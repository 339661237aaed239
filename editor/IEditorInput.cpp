// Mouse, wheel and key routing: the control under the cursor (or the one
// holding the mouse) gets the event, and the host hears where an edit
// gesture on a parameter begins and ends.
#include "editor/IControl.h"
#include "editor/IEditor.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"

int32_t IEditor::FindControlAt(int32_t x, int32_t y) {
  if (captureIdx >= 0) return captureIdx;
  for (int32_t i = controls.Count() - 1; i >= 0; --i) {
    IControl* control = controls.At(i);
    if (!control->hidden && !control->grayed && control->HitTest(x, y)) return i;
  }
  return -1;
}

void IEditor::ReleaseCapture() {
  lastX = lastY = captureIdx = -1;
  rightButtonDown = false;
}

// A press that arrives while a gesture is still open (a second button)
// closes it first, and a release ends the parameter whose gesture began,
// whichever control it lands on: the host hears exactly one end per begin,
// and never an end for a gesture it was not told of.
void IEditor::BeginGesture(const IControl& control) {
  EndGesture();
  if (!plugin || control.paramIdx < 0) return;
  gestureParamIdx = control.paramIdx;
  plugin->HostBeginEdit(gestureParamIdx);
}

void IEditor::EndGesture() {
  if (gestureParamIdx < 0) return;
  const int32_t index = gestureParamIdx;
  gestureParamIdx = -1;
  if (plugin) plugin->HostEndEdit(index);
}

void IEditor::HandleMousePress(int32_t x, int32_t y, const IMouseKeys& keys) {
  TakeHostValues();
  ReleaseCapture();
  const int32_t index = FindControlAt(x, y);
  if (index < 0) return;
  captureIdx = index;
  lastX = x;
  lastY = y;
  rightButtonDown = keys.R;
  IControl* control = controls.At(index);
  BeginGesture(*control);
  control->MousePressed(x, y, keys);
}

void IEditor::HandleMouseRelease(int32_t x, int32_t y, const IMouseKeys& keys) {
  TakeHostValues();
  const int32_t index = FindControlAt(x, y);
  ReleaseCapture();
  if (index >= 0) controls.At(index)->MouseReleased(x, y, keys);
  EndGesture();
}

void IEditor::HandleMouseDrag(int32_t x, int32_t y, const IMouseKeys& keys) {
  if (captureIdx < 0) return;
  TakeHostValues();
  const int32_t dX = x - lastX;
  const int32_t dY = y - lastY;
  if (dX == 0 && dY == 0) return;
  lastX = x;
  lastY = y;
  IControl* control = controls.At(captureIdx);
  if (control) control->MouseDragged(x, y, dX, dY, keys);
}

bool IEditor::HandleDoubleClick(int32_t x, int32_t y, const IMouseKeys& keys) {
  TakeHostValues();
  ReleaseCapture();
  const int32_t index = FindControlAt(x, y);
  if (index < 0) return false;
  IControl* control = controls.At(index);
  BeginGesture(*control);
  if (control->dblClickAsPress) {
    captureIdx = index;
    lastX = x;
    lastY = y;
    rightButtonDown = keys.R;
    control->MousePressed(x, y, keys);
    return true;
  }
  control->MouseDoubleClicked(x, y, keys);
  return false;
}

void IEditor::HandleWheel(int32_t x, int32_t y, const IMouseKeys& keys, int32_t notches) {
  TakeHostValues();
  const int32_t index = FindControlAt(x, y);
  if (index < 0) return;
  IControl* control = controls.At(index);
  const int32_t paramIdx = control->paramIdx;
  if (plugin && paramIdx >= 0) plugin->HostBeginEditUnlessPending(paramIdx);
  control->MouseWheelTurned(x, y, keys, notches);
  // The wheel has no release: the plug-in sends the end about half a second
  // after the last notch.
  if (plugin && paramIdx >= 0) plugin->DeferEndOfEdit(paramIdx);
}

void IEditor::HandleKey(int32_t x, int32_t y, int32_t key) {
  TakeHostValues();
  const int32_t index = FindControlAt(x, y);
  if (index >= 0) controls.At(index)->KeyPressed(x, y, key);
}

void IEditor::CommitTypedText(IControl* control, IParameter* parameter, const char* text) {
  if (!control || !parameter || !plugin || !text) return;
  const double typed = parameter->ValueFromText(text);
  plugin->HostBeginEdit(control->paramIdx);
  control->ApplyTypedValue(parameter->NormalizedOf(typed));
  plugin->HostEndEdit(control->paramIdx);
}
