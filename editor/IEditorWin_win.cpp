// The editor window's life and its services to the editor: opening and
// closing, presenting the back buffer, resizing, folders, web pages, the
// host's wheel and the image resources.
#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>
#include <wininet.h>

#include <cmath>

#include "editor/IEditorWin.h"
#include "editor/IEditorWinClass.h"
#include "framework/IEffectBase.h"
#include "framework/IGrowableBuffer.h"
#include "raster/RBitmap.h"
#include "raster/RPngResource.h"

namespace {

// More notches than one wheel message can carry are no real turn.
constexpr float kMaxHostNotches = 273.0f;

// The folder of a module's file, final backslash included; empty when the
// name cannot be had.
void FolderOfModule(HMODULE module, IGrowableBuffer& text) {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) length = 0;
  while (length > 0 && path[length - 1] != '\\' && path[length - 1] != '/') --length;
  text.Resize(0, false);
  text.Append(path, static_cast<int32_t>(length));
  text.Append("", 1);
}

bool IsChildWindow(HWND window) {
  return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0 &&
         (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0;
}

void GrowWindow(HWND window, int32_t dw, int32_t dh) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return;
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

}  // namespace

IEditorWin::IEditorWin(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond)
    : IEditorWindow(owner, w, h, framesPerSecond) {}

IEditorWin::~IEditorWin() { CloseEditorWindow(); }

void* IEditorWin::OpenEditorWindow(const IParentWindow& parent) {
  if (parent.system != IParentWindow::kWin32) return nullptr;
  parentWindow = static_cast<HWND>(parent.win32);
  RECT place = {0, 0, width, height};
  if (window) {
    // Reopening keeps the place and size the open window had in the parent.
    GetWindowRect(window, &place);
    MapWindowPoints(HWND_DESKTOP, parentWindow, reinterpret_cast<POINT*>(&place), 2);
    CloseEditorWindow();
  }
  if (!AcquireEditorWindowClass(moduleInstance)) return nullptr;
  window = CreateWindowExA(0, kEditorWindowClass, "IEditor", WS_CHILD | WS_VISIBLE, place.left,
                           place.top, place.right - place.left, place.bottom - place.top,
                           parentWindow, nullptr, moduleInstance, this);
  if (!window) {
    ReleaseEditorWindowClass(moduleInstance);
    return nullptr;
  }
  MarkAllControlsChanged();
  return window;
}

void IEditorWin::CloseEditorWindow() {
  if (!window) return;
  CloseWindowHalf();
  HWND closing = window;
  window = nullptr;
  DestroyWindow(closing);
  ReleaseEditorWindowClass(moduleInstance);
}

bool IEditorWin::Present(const IBounds& area) {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(window, &paint);
  if (screen && backBuffer && backBuffer->DeviceContext()) {
    BitBlt(screen, area.L, area.T, area.Width(), area.Height(), backBuffer->DeviceContext(), area.L,
           area.T, SRCCOPY);
  }
  EndPaint(window, &paint);
  return true;
}

void IEditorWin::SetSize(int32_t w, int32_t h) {
  const int32_t dw = w - width;
  const int32_t dh = h - height;
  IEditor::SetSize(w, h);
  if (backBuffer) backBuffer->Resize(w, h);
  if (!window) return;
  RECT old;
  GetClientRect(window, &old);
  GrowWindow(window, dw, dh);
  HWND parent = GetParent(window);
  GrowWindow(parent, dw, dh);
  if (parent && IsChildWindow(parent)) GrowWindow(GetParent(parent), dw, dh);
  InvalidateRect(window, &old, FALSE);
}

void IEditorWin::HostFolder(IGrowableBuffer& text) { FolderOfModule(nullptr, text); }

void IEditorWin::ModuleFolder(IGrowableBuffer& text) { FolderOfModule(moduleInstance, text); }

bool IEditorWin::OpenWebPage(const char* address, const char* caption, const char* confirmation,
                             const char* error) {
  if (confirmation && *confirmation &&
      MessageBoxA(window, confirmation, caption, MB_YESNO) != IDYES) {
    return false;
  }
  DWORD connection = 0;
  if (InternetGetConnectedState(&connection, 0) &&
      reinterpret_cast<intptr_t>(
          ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL)) > 32) {
    return true;
  }
  if (error && *error) MessageBoxA(window, error, caption, MB_OK);
  return false;
}

int32_t IEditorWin::HandleHostWheel(float notches) {
  POINT cursor;
  if (!window || !GetCursorPos(&cursor) || WindowFromPoint(cursor) != window) return 0;
  IMouseKeys keys;
  keys.S = GetKeyState(VK_SHIFT) < 0;
  keys.C = GetKeyState(VK_CONTROL) < 0;
  keys.A = GetKeyState(VK_MENU) < 0;
  RECT r;
  GetWindowRect(window, &r);
  // Fractions of a notch add up as the window's own wheel messages do.
  if (!std::isfinite(notches) || std::fabs(notches) > kMaxHostNotches) return 1;
  ForwardWheel(cursor.x - r.left, cursor.y - r.top, keys,
               static_cast<int32_t>(std::lround(notches * IWheelAccumulator::kDeltaPerNotch)));
  return 1;
}

RBitmap* IEditorWin::LoadBitmapResource(int32_t id, const char* /*name*/) {
  return Raster_LoadPngResource(moduleInstance, id);
}
