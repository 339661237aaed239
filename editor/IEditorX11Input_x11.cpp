// The X11 editor window's events turned into the window half's calls, in
// the editor's key codes and mouse keys, and the parameter entry: a text
// field the editor draws over the control. Enter asks for a commit at the
// next tick and Escape for a cancel, as clicks in the editor do
// (ITypedEntry).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>

#include "editor/IControl.h"
#include "editor/IEditorX11.h"
#include "editor/IKeyCodes.h"
#include "framework/IParameter.h"

namespace {

constexpr int32_t kWheelUp = 4;
constexpr int32_t kWheelDown = 5;

// The modifiers and held buttons of an event's state; the Windows window
// reads the same from its messages.
IMouseKeys KeysOf(uint32_t state) {
  IMouseKeys keys;
  keys.L = (state & Button1Mask) != 0;
  keys.R = (state & Button3Mask) != 0;
  keys.S = (state & ShiftMask) != 0;
  keys.C = (state & ControlMask) != 0;
  keys.A = (state & Mod1Mask) != 0;
  return keys;
}

uint32_t MaskOfButton(int32_t button) {
  return button == Button1 ? Button1Mask : button == Button3 ? Button3Mask : 0;
}

// The editor's key code for a key symbol: the arrows by name, and space,
// digits and letters, whose symbols are their ASCII codes.
int32_t KeyCodeOf(KeySym symbol) {
  switch (symbol) {
    case XK_Left:
      return kKeyLeft;
    case XK_Up:
      return kKeyUp;
    case XK_Right:
      return kKeyRight;
    case XK_Down:
      return kKeyDown;
    default:
      return symbol < 0x80 ? KeyCodeOfCharacter(static_cast<int32_t>(symbol)) : kKeyNone;
  }
}

}  // namespace

void IEditorX11::HandleEvent(XEvent& event) {
  if (event.xany.window != window) return;
  switch (event.type) {
    case Expose: {
      const XExposeEvent& e = event.xexpose;
      stale = stale.Union(IBounds{e.x, e.y, e.x + e.width, e.y + e.height});
      // The last of a series paints what was uncovered.
      if (e.count == 0 && !windowGone) {
        const IBounds area = stale;
        stale = IBounds{};
        PaintInvalid(area);
      }
      break;
    }
    case ButtonPress: {
      const XButtonEvent& e = event.xbutton;
      ButtonPressed(static_cast<int32_t>(e.button), e.x, e.y, e.state, e.time);
      break;
    }
    case ButtonRelease: {
      const XButtonEvent& e = event.xbutton;
      ButtonReleased(static_cast<int32_t>(e.button), e.x, e.y, e.state);
      break;
    }
    case MotionNotify: {
      // Pressing a button grabs the pointer, so drags outside the window
      // still arrive here, as with the Windows window's capture.
      const XMotionEvent& e = event.xmotion;
      if (e.state & (Button1Mask | Button3Mask)) ForwardDrag(e.x, e.y, KeysOf(e.state));
      break;
    }
    case KeyPress:
      KeyPressed(event);
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window) windowGone = true;
      break;
    default:
      break;
  }
}

void IEditorX11::ButtonPressed(int32_t button, int32_t x, int32_t y, uint32_t state,
                               unsigned long time) {
  // The state is the one before the press; a Windows button message
  // already counts the pressed button.
  const IMouseKeys keys = KeysOf(state | MaskOfButton(button));
  if (button == kWheelUp || button == kWheelDown) {
    const int32_t notch = IWheelAccumulator::kDeltaPerNotch;
    ForwardWheel(x, y, KeysOf(state), button == kWheelUp ? notch : -notch);
    return;
  }
  if (button != Button1 && button != Button3) return;
  if (EntryTakesPress(button == Button3)) {
    doubleClicks.Reset();
    return;
  }
  if (doubleClicks.Press(button, x, y, static_cast<uint32_t>(time)) && button == Button1) {
    ForwardDoubleClick(x, y, keys);
    return;
  }
  ForwardPress(x, y, keys);
}

void IEditorX11::ButtonReleased(int32_t button, int32_t x, int32_t y, uint32_t state) {
  if (button != Button1 && button != Button3) return;
  ForwardRelease(x, y, KeysOf(state & ~MaskOfButton(button)));
}

void IEditorX11::KeyPressed(XEvent& event) {
  char typed[8] = {};
  KeySym symbol = NoSymbol;
  const int count = XLookupString(&event.xkey, typed, sizeof typed, &symbol, nullptr);
  if (entry.IsOpen()) {
    FieldKeyPressed(symbol, count == 1 ? typed[0] : '\0');
    return;
  }
  const int32_t code = KeyCodeOf(symbol);
  if (code != kKeyNone) HandleKey(event.xkey.x, event.xkey.y, code);
}

void IEditorX11::FieldKeyPressed(unsigned long symbol, char typed) {
  bool changed = false;
  switch (symbol) {
    case XK_Return:
    case XK_KP_Enter:
      entry.Request(ITypedEntry::kCommit);
      return;
    case XK_Escape:
      entry.Request(ITypedEntry::kCancel);
      return;
    case XK_BackSpace:
      changed = field.Press(ITextField::kBackspace);
      break;
    case XK_Delete:
    case XK_KP_Delete:
      changed = field.Press(ITextField::kDelete);
      break;
    case XK_Left:
    case XK_KP_Left:
      changed = field.Press(ITextField::kLeft);
      break;
    case XK_Right:
    case XK_KP_Right:
      changed = field.Press(ITextField::kRight);
      break;
    case XK_Home:
    case XK_KP_Home:
      changed = field.Press(ITextField::kHome);
      break;
    case XK_End:
    case XK_KP_End:
      changed = field.Press(ITextField::kEnd);
      break;
    default:
      changed = field.Type(typed);
      break;
  }
  if (changed) stale = stale.Union(field.Area());
}

void IEditorX11::EditParameterText(IControl* control, IParameter* parameter) {
  if (!control || !parameter || entry.IsOpen() || !display) return;
  // The control's own value: host threads write the parameter's.
  char current[64];
  control->ValueText(current, sizeof current, false);
  const IBounds area = ParameterEntryArea(*control, *parameter);
  field.Open(area, current);
  EntryOpened(control, parameter);
  stale = stale.Union(area);
  FocusEntry(true);
}

void IEditorX11::ReadEntryText(char* text, int32_t capacity) {
  std::snprintf(text, static_cast<size_t>(capacity), "%s", field.Text());
}

void IEditorX11::CloseNativeEntry() {
  if (!field.IsOpen()) return;
  stale = stale.Union(field.Area());
  field.Close();
  FocusEntry(false);
}

// Keys reach the window with the input focus: the entry takes it while it
// is open and hands it back to where it was.
void IEditorX11::FocusEntry(bool take) {
  if (!display || windowGone) return;
  if (take) {
    XGetInputFocus(display, &focusBeforeEntry, &focusRevertBeforeEntry);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
  } else if (focusBeforeEntry != None && focusBeforeEntry != window) {
    XSetInputFocus(display, focusBeforeEntry, focusRevertBeforeEntry, CurrentTime);
  }
}
