// Opens a Linux VST 2.4 plug-in's editor in an X11 host window, sets a
// program and parameters, lets the host's idle calls paint it and writes
// the window's pixels to a PNG file. Needs a display (scripts/x-display).
//   editor_shot MODULE.so OUT.png [--program N] [INDEX=NORMALISED ...]
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "tools/editor-shot/EditorShot.h"

// After the standard headers; Xlib defines short macro names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Where the host window goes: clear of the windows the editor tests open
// on a shared display, so nothing covers the pixels read back.
constexpr int kHostX = 700;
constexpr int kHostY = 100;

// The host's GUI loop: idle calls every 10 ms.
void IdleFor(AEffect* effect, int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int ChannelShift(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

// The window's pixels as RGB rows, read back from the server.
std::vector<uint8_t> CaptureRgb(Display* display, Window window, int width, int height) {
  std::vector<uint8_t> rgb;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return rgb;
  rgb.resize(static_cast<size_t>(width) * height * 3);
  const unsigned long masks[3] = {image->red_mask, image->green_mask, image->blue_mask};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      for (int c = 0; c < 3; ++c) {
        rgb[(static_cast<size_t>(y) * width + x) * 3 + c] =
            static_cast<uint8_t>((pixel & masks[c]) >> ChannelShift(masks[c]));
      }
    }
  }
  XDestroyImage(image);
  return rgb;
}

}  // namespace

int main(int argc, char** argv) {
  if (!EditorShotUsage(argc)) return 2;
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  auto entry =
      module ? reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain")) : nullptr;
  AEffect* effect = PluginWithEditor(entry, argv[1]);
  if (!effect) return 1;
  int width = 0, height = 0;
  PrepareForShot(effect, argc, argv, width, height);
  Display* display = XOpenDisplay(nullptr);
  if (!display || width <= 0 || height <= 0) {
    std::fprintf(stderr, "editor_shot: no X display to open the editor on\n");
    return 1;
  }
  XSetWindowAttributes attributes = {};
  attributes.override_redirect = True;  // placed where asked, window manager or not
  const Window host =
      XCreateWindow(display, DefaultRootWindow(display), kHostX, kHostY,
                    static_cast<unsigned>(width), static_cast<unsigned>(height), 0, CopyFromParent,
                    InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
  XStoreName(display, host, "editor_shot");
  XMapRaised(display, host);
  XSync(display, False);
  if (!effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(host), 0.0f)) {
    std::fprintf(stderr, "editor_shot: the editor did not open\n");
    return 1;
  }
  IdleFor(effect, 600);  // a dozen repaint ticks
  XRaiseWindow(display, host);
  XSync(display, False);
  const std::vector<uint8_t> rgb = CaptureRgb(display, host, width, height);
  const bool written = !rgb.empty() && WriteRgbPng(argv[2], rgb, width, height);
  effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  XDestroyWindow(display, host);
  XCloseDisplay(display);
  if (!written) std::fprintf(stderr, "editor_shot: could not write %s\n", argv[2]);
  return written ? 0 : 1;
}
