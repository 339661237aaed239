// An invisible area that opens a web page when clicked, trying a second
// address when the first fails.
#pragma once

#include "editor/IControl.h"

class ILinkControl : public IControl {
 public:
  static constexpr int32_t kAddressCapacity = 256;
  static constexpr int32_t kCaptionCapacity = 1024;

  // [GUI thread] Null or empty texts leave their field empty.
  ILinkControl(IEffectBase* plugin, const IBounds& area, const char* address,
               const char* secondAddress, const char* caption);

  // [GUI thread] Any button opens the page.
  void MousePressed(int32_t x, int32_t y, const IMouseKeys& keys) override;
  // [GUI thread] Draws nothing.
  bool Paint(IEditor& /*editor*/) override { return true; }

  char address[kAddressCapacity] = {};
  char secondAddress[kAddressCapacity] = {};
  char caption[kCaptionCapacity] = {};
};
