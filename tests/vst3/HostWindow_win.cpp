#include <windows.h>

#include "tests/vst3/HostWindow.h"

struct HostWindow::Native {
  HWND window = nullptr;
};

namespace {

const wchar_t* HostClass() {
  static const wchar_t* name = [] {
    WNDCLASSW c{};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"dmVst3TestHost";
    RegisterClassW(&c);
    return L"dmVst3TestHost";
  }();
  return name;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

}  // namespace

HostWindow::HostWindow() : native(new Native) {
  native->window =
      CreateWindowExW(0, HostClass(), L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 600, 400,
                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
  if (native->window) DestroyWindow(native->window);
  delete native;
}

bool HostWindow::IsOpen() const { return native->window != nullptr; }
void* HostWindow::Handle() const { return native->window; }

int HostWindow::ChildCount() const {
  int count = 0;
  EnumChildWindows(native->window, CountChild, reinterpret_cast<LPARAM>(&count));
  return count;
}

bool HostWindow::FirstChildSize(int& width, int& height) const {
  HWND child = GetWindow(native->window, GW_CHILD);
  RECT r{};
  if (!child || !GetClientRect(child, &r)) return false;
  width = r.right - r.left;
  height = r.bottom - r.top;
  return true;
}

void HostWindow::Pump() const {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
