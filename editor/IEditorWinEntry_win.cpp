// The text entry for a parameter value: a one-line field (or, for a
// parameter with a list of display texts, a drop-down list) over the
// control. Enter or a list choice asks for a commit at the next tick (as a
// left-click in the editor does, ITypedEntry), focus and keys mark it
// active; losing the focus asks nothing.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "editor/IControl.h"
#include "editor/IEditorWin.h"
#include "editor/IWindowInput.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"

namespace {

constexpr int kEntryId = 99;
constexpr int kFontHeight = 14;

LRESULT CALLBACK EntryProc(HWND entry, UINT message, WPARAM wParam, LPARAM lParam) {
  IEditorWin* editor = IEditorWin::FromWindow(GetParent(entry));
  if (!editor || editor->EntryWindow() != entry)
    return DefWindowProcA(entry, message, wParam, lParam);
  return editor->HandleEntryMessage(entry, message, wParam, lParam);
}

bool HasListOfTexts(const IParameter& parameter) {
  return parameter.DisplayTextCount() > 0 &&
         (parameter.kind == ParamKind::Boolean || parameter.kind == ParamKind::Enumerated);
}

const IDisplayText* DisplayTexts(const IParameter& parameter) {
  return reinterpret_cast<const IDisplayText*>(parameter.displayTexts.Data());
}

HWND CreateList(const IParameter& parameter, const char* current, int cx, int cy, HWND parent,
                HINSTANCE module) {
  const int count = parameter.DisplayTextCount();
  size_t longest = 0;
  for (int i = 0; i < count; ++i)
    longest = std::max(longest, std::strlen(DisplayTexts(parameter)[i].text));
  const int width = 8 * static_cast<int>(longest) + 24;
  const int height = 36 * (count + 1);
  HWND list = CreateWindowExA(
      0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, cx - width / 2, cy, width,
      height, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(kEntryId)), module, nullptr);
  if (!list) return nullptr;
  int selected = -1;
  for (int i = 0; i < count; ++i) {
    const char* text = DisplayTexts(parameter)[i].text;
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (selected < 0 && std::strcmp(text, current) == 0) selected = i;
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  return list;
}

// One line, centred, scrolling sideways, so a text longer than the field
// still takes every character typed.
HWND CreateField(const IBounds& area, const char* current, HWND parent, HINSTANCE module) {
  HWND field =
      CreateWindowExA(0, "EDIT", current, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL,
                      area.L, area.T, area.Width(), area.Height(), parent,
                      reinterpret_cast<HMENU>(static_cast<intptr_t>(kEntryId)), module, nullptr);
  if (field) SendMessageA(field, EM_SETSEL, 0, -1);
  return field;
}

bool IsEditField(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "EDIT") == 0;
}

}  // namespace

IEditorWin* IEditorWin::FromWindow(HWND__* window) {
  if (!window) return nullptr;
  auto* editor = reinterpret_cast<IEditorWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return editor && editor->window == window ? editor : nullptr;
}

void IEditorWin::EditParameterText(IControl* control, IParameter* parameter) {
  if (!control || !parameter || entry.IsOpen() || !window) return;
  const int cx = static_cast<int>((control->rect.L + control->rect.R) * 0.5f);
  const int cy = static_cast<int>((control->rect.T + control->rect.B) * 0.5f);
  // The control's own value: host threads write the parameter's.
  char current[64];
  control->ValueText(current, sizeof current, false);
  entryWindow =
      HasListOfTexts(*parameter)
          ? CreateList(*parameter, current, cx, cy, window, moduleInstance)
          : CreateField(ParameterEntryArea(*control, *parameter), current, window, moduleInstance);
  if (!entryWindow) return;
  SetFocus(entryWindow);
  entryPrevProc =
      SetWindowLongPtrA(entryWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EntryProc));
  entryFont = CreateFontA(kFontHeight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SendMessageA(entryWindow, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont), TRUE);
  EntryOpened(control, parameter);
}

intptr_t IEditorWin::HandleEntryMessage(HWND__* field, uint32_t message, uintptr_t wParam,
                                        intptr_t lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(entryPrevProc);
  switch (message) {
    case WM_SETFOCUS:
      entry.Request(ITypedEntry::kActive);
      break;
    case WM_KILLFOCUS:
      entry.Request(ITypedEntry::kIdle);
      break;
    case WM_KEYDOWN:
      if (wParam != VK_RETURN) {
        entry.Request(ITypedEntry::kActive);
        break;
      }
      if (IsEditField(field)) SendMessageA(field, EM_SETSEL, static_cast<WPARAM>(-1), 0);
      entry.Request(ITypedEntry::kCommit);
      return 0;
    case WM_CHAR:
      if (wParam == '\r') return 0;  // a one-line field would only beep
      break;
    default:
      break;
  }
  return CallWindowProcA(previous, field, message, wParam, lParam);
}

void IEditorWin::ReadEntryText(char* text, int32_t capacity) {
  SendMessageA(entryWindow, WM_GETTEXT, static_cast<WPARAM>(capacity),
               reinterpret_cast<LPARAM>(text));
}

void IEditorWin::CloseNativeEntry() {
  if (!entryWindow) return;
  HWND field = entryWindow;
  entryWindow = nullptr;
  SetWindowLongPtrA(field, GWLP_WNDPROC, entryPrevProc);
  entryPrevProc = 0;
  DestroyWindow(field);
  // One font per entry, released with it.
  if (entryFont) DeleteObject(entryFont);
  entryFont = nullptr;
}
