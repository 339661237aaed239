// The host's window an editor opens in, named together with the window
// system it belongs to, so an editor can refuse a window it cannot use
// instead of taking a handle of another system for its own. The format
// binding fills it from what its host hands over (VST 2.4's effEditOpen: a
// pointer that holds an HWND on Windows and an X11 window id elsewhere).
#pragma once

#include <cstdint>

struct IParentWindow {
  enum ISystem : int32_t {
    kNoSystem = 0,
    kWin32 = 1,    // win32: the parent's HWND
    kX11 = 2,      // x11: the parent's window id (XID)
    kWebPage = 3,  // the page's canvas; no handle
  };

  ISystem system = kNoSystem;
  void* win32 = nullptr;
  uint64_t x11 = 0;

  static IParentWindow Win32(void* window) { return {kWin32, window, 0}; }
  static IParentWindow X11(uint64_t window) { return {kX11, nullptr, window}; }
  static IParentWindow WebPage() { return {kWebPage, nullptr, 0}; }
};
