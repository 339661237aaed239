#include "tests/vst3/HostWindow.h"

#include <X11/Xlib.h>

#include <cstdint>

struct HostWindow::Native {
  Display* display = nullptr;
  Window window = 0;
};

HostWindow::HostWindow() : native(new Native) {
  native->display = XOpenDisplay(nullptr);
  if (!native->display) return;
  const int screen = DefaultScreen(native->display);
  native->window =
      XCreateSimpleWindow(native->display, RootWindow(native->display, screen), 40, 40, 600, 400, 0,
                          BlackPixel(native->display, screen), WhitePixel(native->display, screen));
  XMapWindow(native->display, native->window);
  XSync(native->display, False);
}

HostWindow::~HostWindow() {
  if (native->display) {
    XDestroyWindow(native->display, native->window);
    XCloseDisplay(native->display);
  }
  delete native;
}

bool HostWindow::IsOpen() const { return native->display && native->window; }

void* HostWindow::Handle() const {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(native->window));
}

int HostWindow::ChildCount() const {
  XSync(native->display, False);
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(native->display, native->window, &root, &parent, &children, &count)) return -1;
  if (children) XFree(children);
  return static_cast<int>(count);
}

bool HostWindow::FirstChildSize(int& width, int& height) const {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(native->display, native->window, &root, &parent, &children, &count) ||
      count == 0) {
    return false;
  }
  XWindowAttributes attributes{};
  const bool got = XGetWindowAttributes(native->display, children[0], &attributes) != 0;
  XFree(children);
  width = attributes.width;
  height = attributes.height;
  return got;
}

void HostWindow::Pump() const { XSync(native->display, False); }
