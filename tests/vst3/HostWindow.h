// A host's window for the panel, by platform (HostWindow_x11.cpp on its own
// X connection, HostWindow_win.cpp): made, asked for its children, pumped.
#pragma once

class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  bool IsOpen() const;
  // What IPlugView::attached takes: the HWND, or the XID.
  void* Handle() const;
  // The windows inside it, and the size of the first one.
  int ChildCount() const;
  bool FirstChildSize(int& width, int& height) const;
  // Handles what is pending, as a host's event loop would.
  void Pump() const;

 private:
  struct Native;
  Native* native;
};
