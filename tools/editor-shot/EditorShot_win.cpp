// Opens a VST 2.4 plug-in's editor in a host window, sets a program and
// parameters, lets the editor's timer paint it and writes the window's
// pixels to a PNG file.
//   editor_shot MODULE.dll OUT.png [--program N] [INDEX=NORMALISED ...]
#include <windows.h>

#include <cstdio>
#include <vector>

#include "tools/editor-shot/EditorShot.h"

namespace {

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

// The window's client area as RGB rows, read back from the screen.
std::vector<uint8_t> CaptureRgb(HWND window, int width, int height) {
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  const auto* bgrx = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    rgb[i * 3 + 0] = bgrx[i * 4 + 2];
    rgb[i * 3 + 1] = bgrx[i * 4 + 1];
    rgb[i * 3 + 2] = bgrx[i * 4 + 0];
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return rgb;
}

}  // namespace

int main(int argc, char** argv) {
  if (!EditorShotUsage(argc)) return 2;
  HMODULE module = LoadLibraryA(argv[1]);
  auto entry = module ? reinterpret_cast<VstPluginMainProc>(
                            reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")))
                      : nullptr;
  AEffect* effect = PluginWithEditor(entry, argv[1]);
  if (!effect) return 1;
  int width = 0, height = 0;
  PrepareForShot(effect, argc, argv, width, height);
  RECT frame = {0, 0, width, height};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND host = CreateWindowExA(0, "STATIC", "editor_shot", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!host || width <= 0 || height <= 0 ||
      !effect->dispatcher(effect, effEditOpen, 0, 0, host, 0.0f)) {
    std::fprintf(stderr, "editor_shot: the editor did not open\n");
    return 1;
  }
  HWND editor = FindWindowExA(host, nullptr, nullptr, nullptr);
  Pump(600);  // a dozen repaint ticks
  const bool written =
      editor && WriteRgbPng(argv[2], CaptureRgb(editor, width, height), width, height);
  effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  DestroyWindow(host);
  if (!written) std::fprintf(stderr, "editor_shot: could not write %s\n", argv[2]);
  return written ? 0 : 1;
}
