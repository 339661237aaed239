// The X11 editor window's life and its services to the editor: opening and
// closing, presenting the back buffer, the idle-driven tick, web pages and
// the compiled-in images.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "editor/IEditorX11.h"
#include "editor/IEmbeddedFiles.h"
#include "framework/IEffectBase.h"
#include "platform/LaunchDetached.h"
#include "raster/RBitmap.h"
#include "raster/RPngLoader.h"

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | ButtonMotionMask |
                            KeyPressMask | StructureNotifyMask;

// Catches the X errors of one display connection while the editor works on
// it, and passes every other connection's errors to the handler that was
// installed before (the host's). Xlib reports errors as it reads from a
// connection, and the editor's own connection is read only inside these
// scopes, so none of its errors can reach the default handler, which would
// end the process.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : previousTrap(active) {
    watched = display;
    active = this;
    previousHandler = XSetErrorHandler(&ErrorTrap::Handle);
  }
  ~ErrorTrap() {
    XSetErrorHandler(previousHandler);
    active = previousTrap;
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  bool Failed() const { return failed; }

 private:
  static int Handle(Display* display, XErrorEvent* error) {
    if (active && display == active->watched) {
      active->failed = true;
      return 0;
    }
    return active && active->previousHandler ? active->previousHandler(display, error) : 0;
  }

  static inline ErrorTrap* active = nullptr;
  ErrorTrap* previousTrap;
  Display* watched = nullptr;
  XErrorHandler previousHandler = nullptr;
  bool failed = false;
};

// The back buffer's pixel words go to the server as they are, so the window
// needs a true-colour visual with 32-bit pixels in 0x00RRGGBB order (every
// current X server's default).
bool PixelsFitVisual(Display* display, int screen) {
  const Visual* visual = DefaultVisual(display, screen);
  const int depth = DefaultDepth(display, screen);
  return visual->c_class == TrueColor && (depth == 24 || depth == 32) &&
         visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
}

}  // namespace

IEditorX11::IEditorX11(IEffectBase* owner, int32_t w, int32_t h, int32_t framesPerSecond)
    : IEditorWindow(owner, w, h, framesPerSecond), ticker(fps) {}

IEditorX11::~IEditorX11() { CloseEditorWindow(); }

void* IEditorX11::NativeWindow() { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

void* IEditorX11::OpenEditorWindow(const IParentWindow& parent) {
  CloseEditorWindow();
  const auto parentId = static_cast<unsigned long>(parent.x11);
  if (parent.system != IParentWindow::kX11 || parentId == 0) return nullptr;
  display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  if (!CreateWindow(parentId)) {
    CloseEditorWindow();
    return nullptr;
  }
  MarkAllControlsChanged();
  ticker.Restart();
  return NativeWindow();
}

bool IEditorX11::CreateWindow(unsigned long parent) {
  const int screen = DefaultScreen(display);
  if (!PixelsFitVisual(display, screen)) return false;
  ErrorTrap trap(display);
  XSetWindowAttributes attributes = {};
  // The screen's own visual and colormap, whatever the parent's are.
  attributes.colormap = DefaultColormap(display, screen);
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;  // no flash of a background colour
  attributes.event_mask = kEventMask;
  window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width),
                         static_cast<unsigned>(height), 0, DefaultDepth(display, screen),
                         InputOutput, DefaultVisual(display, screen),
                         CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
  // Window lists show the plug-in's name.
  XStoreName(display, window, plugin ? plugin->EffectName() : "");
  gc = XCreateGC(display, window, 0, nullptr);
  XMapWindow(display, window);
  // A parent that does not exist shows here, before the host is told of a
  // window.
  XSync(display, False);
  windowGone = trap.Failed();
  return !windowGone;
}

void IEditorX11::CloseEditorWindow() {
  if (!display) return;
  {
    // Inside the trap as an idle call's tick: the host hears the pending
    // end of an edit, and the entry hands the focus back.
    ErrorTrap trap(display);
    CloseWindowHalf();
    // With the host's window gone ours went with it; the requests fail
    // harmlessly then.
    if (window && !windowGone) XDestroyWindow(display, window);
    if (gc) XFreeGC(display, gc);
    XSync(display, False);
    XCloseDisplay(display);
  }
  display = nullptr;
  window = 0;
  gc = nullptr;
  windowGone = false;
  stale = IBounds{};
  doubleClicks.Reset();
}

bool IEditorX11::Present(const IBounds& area) {
  if (!display || windowGone || !backBuffer || !backBuffer->Pixels() || area.IsEmpty()) return true;
  field.Paint(*this);
  const int screen = DefaultScreen(display);
  XImage* image = XCreateImage(
      display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
      ZPixmap, 0, reinterpret_cast<char*>(backBuffer->Pixels()),
      static_cast<unsigned>(backBuffer->Width()), static_cast<unsigned>(backBuffer->Height()), 32,
      backBuffer->RowSpan() * 4);
  if (!image) return true;
  // Pixel words in this machine's order; Xlib swaps them for a server of
  // the other one.
  image->byte_order = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
  const IBounds shown = area.Intersection(IBounds{0, 0, backBuffer->Width(), backBuffer->Height()});
  if (!shown.IsEmpty()) {
    XPutImage(display, window, gc, image, shown.L, shown.T, shown.L, shown.T,
              static_cast<unsigned>(shown.Width()), static_cast<unsigned>(shown.Height()));
  }
  image->data = nullptr;  // the back buffer's, not the image's
  XDestroyImage(image);
  return true;
}

void IEditorX11::Idle() {
  if (!display) return;
  ErrorTrap trap(display);
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    HandleEvent(event);
  }
  if (ticker.Due(MonotonicMilliseconds())) Tick();
  // The requests go out now; their errors, if any, are read by the next
  // call's XPending, inside its trap (a round trip here would double the
  // cost of an idle call). A refused request (focus on a window the host has
  // just hidden, say) is no reason to stop: the window is gone only when the
  // server says so (DestroyNotify).
  XFlush(display);
}

void IEditorX11::RepaintArea(const IBounds& changed) {
  const IBounds area = stale.Union(changed);
  stale = IBounds{};
  if (!windowGone && !area.IsEmpty()) PaintInvalid(area);
}

void IEditorX11::SetSize(int32_t w, int32_t h) {
  IEditor::SetSize(w, h);
  if (backBuffer) backBuffer->Resize(w, h);
  if (!display || windowGone) return;
  ErrorTrap trap(display);
  XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
  stale = IBounds{0, 0, w, h};
  XSync(display, False);
}

bool IEditorX11::OpenWebPage(const char* address, const char*, const char*, const char*) {
  return address && *address && LaunchDetached("xdg-open", address);
}

RBitmap* IEditorX11::LoadBitmapResource(int32_t id, const char* /*name*/) {
  const IEmbeddedFile* file = FindEmbeddedFile(id);
  return file ? Raster_LoadPngMemory(file->data, file->size) : nullptr;
}
