// The editor window's class, its window procedure and the repaint hook. The
// handlers only translate native messages into the window half's calls.
#include <windows.h>

#include "editor/IEditorWin.h"
#include "editor/IEditorWinClass.h"
#include "editor/IEditorWinKeys.h"
#include "framework/HostKind.h"
#include "framework/IEffectBase.h"

namespace {

constexpr UINT_PTR kRepaintTimer = 2;

// Windows open in the process; the class lives while there are any.
int openWindows = 0;

bool HostIsAcoustica(IEffectBase* plugin) {
  return plugin && plugin->QueryHostKind() == HostKind::Acoustica;
}

LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* editor = static_cast<IEditorWin*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
    SetTimer(window, kRepaintTimer, static_cast<UINT>(1000.0 / editor->FramesPerSecond()), nullptr);
    if (HostIsAcoustica(editor->Plugin())) SetFocus(window);
    return 0;
  }
  // Messages during creation and destruction, before the editor knows its
  // window or after it let go of it, are the default procedure's.
  IEditorWin* editor = IEditorWin::FromWindow(window);
  if (!editor) return DefWindowProcA(window, message, wParam, lParam);
  intptr_t result = 0;
  if (editor->HandleMessage(message, wParam, lParam, result)) return result;
  return DefWindowProcA(window, message, wParam, lParam);
}

int32_t LowX(LPARAM lParam) { return static_cast<int16_t>(LOWORD(lParam)); }
int32_t HighY(LPARAM lParam) { return static_cast<int16_t>(HIWORD(lParam)); }

IMouseKeys KeysOf(WPARAM wParam) {
  return MouseKeysFromFlags(static_cast<uint32_t>(wParam), GetKeyState(VK_MENU) < 0);
}

}  // namespace

bool AcquireEditorWindowClass(HINSTANCE module) {
  if (openWindows == 0) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = EditorWindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kEditorWindowClass;
    if (!RegisterClassA(&windowClass)) return false;
  }
  ++openWindows;
  return true;
}

void ReleaseEditorWindowClass(HINSTANCE module) {
  if (openWindows > 0 && --openWindows == 0) UnregisterClassA(kEditorWindowClass, module);
}

bool IEditorWin::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                               intptr_t& result) {
  result = 0;
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDOWN:
      if (EntryTakesPress(message == WM_RBUTTONDOWN)) return true;
      SetCapture(window);
      ForwardPress(LowX(lParam), HighY(lParam), KeysOf(wParam));
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      ::ReleaseCapture();
      ForwardRelease(LowX(lParam), HighY(lParam), KeysOf(wParam));
      return true;
    case WM_LBUTTONDBLCLK:
      if (ForwardDoubleClick(LowX(lParam), HighY(lParam), KeysOf(wParam))) SetCapture(window);
      return true;
    case WM_MOUSEMOVE:
      if ((wParam & (MK_LBUTTON | MK_RBUTTON)) && GetCapture() == window)
        HandleMouseDrag(LowX(lParam), HighY(lParam), KeysOf(wParam));
      return true;
    case WM_MOUSEWHEEL: {
      // The message's point is on the screen.
      RECT r;
      GetWindowRect(window, &r);
      ForwardWheel(LowX(lParam) - r.left, HighY(lParam) - r.top, KeysOf(LOWORD(wParam)),
                   static_cast<int16_t>(HIWORD(wParam)));
      return true;
    }
    case WM_KEYDOWN: {
      const int32_t code = EditorKeyCode(static_cast<int32_t>(wParam));
      if (code < 0) return true;
      POINT cursor;
      GetCursorPos(&cursor);
      ScreenToClient(window, &cursor);
      HandleKey(cursor.x, cursor.y, code);
      return true;
    }
    case WM_COMMAND:
      // A choice in the list entry commits it.
      if (entryWindow && reinterpret_cast<HWND>(lParam) == entryWindow &&
          HIWORD(wParam) == CBN_SELCHANGE)
        entry.Request(ITypedEntry::kCommit);
      return true;
    case WM_TIMER:
      if (wParam == kRepaintTimer) Tick();
      return true;
    case WM_PAINT:
      PaintRequested();
      return true;
    case WM_MOUSEACTIVATE:
      if (HostIsAcoustica(plugin)) SetFocus(window);
      result = MA_ACTIVATE;
      return true;
    case WM_CLOSE:
      CloseEditorWindow();
      return true;
    default:
      return false;
  }
}

void IEditorWin::PaintRequested() {
  RECT update;
  if (!GetUpdateRect(window, &update, FALSE)) {
    ValidateRect(window, nullptr);
    return;
  }
  PaintInvalid(IBounds{update.left, update.top, update.right, update.bottom});
}

void IEditorWin::RepaintArea(const IBounds& changed) {
  if (changed.IsEmpty()) return;
  RECT invalid = {changed.L, changed.T, changed.R, changed.B};
  InvalidateRect(window, &invalid, FALSE);
  if (entryWindow) {
    // The open entry is not painted over.
    RECT entryArea;
    GetClientRect(entryWindow, &entryArea);
    MapWindowPoints(entryWindow, window, reinterpret_cast<POINT*>(&entryArea), 2);
    ValidateRect(window, &entryArea);
  }
  UpdateWindow(window);
}
