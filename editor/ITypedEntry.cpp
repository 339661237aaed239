#include "editor/ITypedEntry.h"

void ITypedEntry::Opened(IControl* entryControl, IParameter* entryParameter) {
  control = entryControl;
  parameter = entryParameter;
  request = kIdle;
}

IControl* ITypedEntry::Closed() {
  IControl* was = control;
  control = nullptr;
  parameter = nullptr;
  request = kIdle;
  return was;
}

bool ITypedEntry::TakesPress(bool rightButton) {
  if (!IsOpen()) return false;
  request = rightButton ? kCancel : kCommit;
  return rightButton;
}
