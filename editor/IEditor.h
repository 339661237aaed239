// The platform-neutral half of the plug-in's editor: it owns the controls
// and the back buffer they paint into, offers the drawing operations the
// controls use, routes mouse and key input to the control under the cursor,
// carries parameter values from the plug-in to the controls bound to them
// and decides what must be repainted. The operations that need a native
// window are left to the window class.
//
// Threads: everything runs on the thread that owns the editor window (the
// GUI thread), except ShowParameterValue, which the plug-in base calls from
// any host thread with the plug-in lock held. The GUI thread takes no lock
// to see those values (see IControl). AddControl, SetBackground and SetSize
// change the control list under the plug-in lock, so a host thread walking
// the list in ShowParameterValue never sees it half changed.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/IBitmapStrip.h"
#include "editor/IBlendSpec.h"
#include "editor/IBounds.h"
#include "editor/IMouseKeys.h"
#include "editor/IRgba.h"
#include "editor/ITextStyle.h"
#include "framework/IEditorSeam.h"
#include "framework/IOwnedList.h"

class IControl;
class IEffectBase;
class IGrowableBuffer;
class IParameter;
class RBitmap;
class RCachedFont;

class IEditor : public IEditorSeam {
 public:
  static constexpr int32_t kDefaultFramesPerSecond = 24;

  // fps 0 or less gives 24 repaint checks per second.
  IEditor(IEffectBase* plugin, int32_t width, int32_t height, int32_t fps);

  // ---- Virtual operations, in slot order; all [GUI thread] ----
  // Not in use: kept in its documented place; nothing in the product calls it.
  //   slot 3: EditControlText
  //   slot 5: EditTextInRect
  //   slot 6: HostFolder
  //   slot 7: ModuleFolder
  //   slot 8: AskForFile
  //   slot 9: AskForColour
  //   slot 14: ReservedSlot14
  //   slot 19: ReservedSlot19
  // Copies the area of the back buffer to the screen.
  virtual bool Present(const IBounds& area) = 0;
  // Deletes every control; the caller adds them again.
  virtual void SetSize(int32_t w, int32_t h);
  virtual bool HasWindow() { return NativeWindow() != nullptr; }
  virtual void EditControlText(IControl* control) = 0;
  virtual void EditParameterText(IControl* control, IParameter* parameter) = 0;
  virtual void EditTextInRect(IControl* control, const ITextStyle& style, const IBounds& area,
                              const char* initialText, bool password, bool editable) = 0;
  virtual void HostFolder(IGrowableBuffer& text) = 0;
  virtual void ModuleFolder(IGrowableBuffer& text) = 0;
  // text holds the initial name and receives the chosen path; action 1
  // saves, anything else opens.
  virtual void AskForFile(IGrowableBuffer& text, int32_t action, const char* initialFolder,
                          const char* extensions) = 0;
  virtual bool AskForColour(IRgba& colour, const char* prompt) = 0;
  virtual bool OpenWebPage(const char* address, const char* caption, const char* confirmation,
                           const char* error) = 0;
  // The host's wheel extension; the editor does not use it.
  int32_t HandleHostWheel(float /*notches*/) override { return 0; }
  // Arms the countdown after which the plug-in's deferred end of an edit is
  // sent (ticks of the repaint timer); called with the plug-in lock held.
  void StartEndEditCountdown(int32_t ticks) override = 0;
  void StopEndEditCountdown() override = 0;
  virtual int32_t ReservedSlot14() { return 0; }
  void* OpenEditorWindow(const IParentWindow& parent) override = 0;
  void CloseEditorWindow() override = 0;
  virtual void* NativeWindow() = 0;
  // Deletes the controls, last to first, and the back buffer.
  ~IEditor() override;
  virtual void ReservedSlot19() {}
  // The image with this resource id (name is its file name); null when the
  // module has none. The caller owns the result.
  virtual RBitmap* LoadBitmapResource(int32_t id, const char* name) = 0;

  // ---- Controls [GUI thread] ----
  // Takes ownership; returns the control's index.
  int32_t AddControl(IControl* control);
  // Puts the image as a full-size frame control at index 0, drawn without
  // blending.
  void SetBackground(int32_t id, const char* name);
  int32_t ControlCount() const { return controls.Count(); }
  IControl* ControlAt(int32_t index) const { return controls.At(index); }
  void MarkAllControlsChanged();

  // ---- Bitmaps and fonts [GUI thread; the caches lock themselves] ----
  IBitmapStrip GetBitmap(int32_t id, const char* name, int32_t frames);
  // An unscaled copy of part of a strip, kept by the bitmap cache.
  IBitmapStrip CopyBitmapRegion(const IBitmapStrip& strip, const IBounds& area);
  // The cached font for the style (null when none can be made); also stored
  // in the style.
  RCachedFont* GetTextFont(ITextStyle& style);

  // ---- Values from the plug-in [any thread, plug-in lock held] ----
  // Hands the value (normalised, or in parameter units) to every control
  // bound to the parameter; they apply it on the GUI thread's next tick or
  // input event. An index no control uses changes nothing.
  void ShowParameterValue(int32_t paramIdx, double value, bool isNormalised) override;

  // ---- The repaint cycle [GUI thread] ----
  // Widens area (passed empty) by every control that needs painting; true
  // if any did.
  bool CollectChangedArea(IBounds& area);
  // Paints the controls overlapping area into the back buffer, then
  // presents it.
  bool PaintInvalid(const IBounds& area);
  // Called once by the plug-in base when the editor is attached.
  void CreateBackBuffer() override;
  RBitmap* BackBuffer() const { return backBuffer; }
  const IBounds& DrawRect() const { return drawRect; }

  // ---- Input from the window [GUI thread], in editor pixels ----
  void HandleMousePress(int32_t x, int32_t y, const IMouseKeys& keys);
  void HandleMouseRelease(int32_t x, int32_t y, const IMouseKeys& keys);
  void HandleMouseDrag(int32_t x, int32_t y, const IMouseKeys& keys);
  // True when the double-click was taken as a press (the window captures
  // the mouse).
  bool HandleDoubleClick(int32_t x, int32_t y, const IMouseKeys& keys);
  void HandleWheel(int32_t x, int32_t y, const IMouseKeys& keys, int32_t notches);
  void HandleKey(int32_t x, int32_t y, int32_t key);
  // The captured control, else the topmost visible, enabled control that
  // the point hits; -1 when none.
  int32_t FindControlAt(int32_t x, int32_t y);
  int32_t CaptureIndex() const { return captureIdx; }
  // The text typed into a parameter entry: a display text or a number,
  // applied to the control as one edit gesture.
  void CommitTypedText(IControl* control, IParameter* parameter, const char* text);

  // ---- Drawing operations for controls [GUI thread, inside Paint] ----
  // Blits clip to the paint pass's area; arcs, rectangles and text draw
  // whole. A null blend is {BlendAlphaCopy, 1.0}.
  bool BlitBitmap(const IBitmapStrip& strip, const IBounds& dest, int32_t srcX, int32_t srcY,
                  const IBlendSpec* blend);
  // Frames count from 1; vertical picks frames stacked top to bottom.
  bool BlitBitmapFrame(const IBitmapStrip& strip, const IBounds& dest, int32_t frame,
                       const IBlendSpec* blend, bool vertical);
  // The whole strip, centred on (x, y) and turned by angle (radians), with
  // bilinear sampling from the source origin (srcX, srcY).
  bool BlitRotated(const IBitmapStrip& strip, int32_t x, int32_t y, double angle,
                   const IBlendSpec* blend, float srcX, float srcY);
  // Opacity from the colour's alpha, not from the blend's weight.
  bool StrokeArc(const IRgba& colour, float cx, float cy, float r, float fromAngle, float toAngle,
                 const IBlendSpec* blend, bool antialias);
  bool PaintRect(const IRgba& colour, const IBounds& area, const IBlendSpec* blend);
  // False when no font can be made for the style; an empty text draws
  // nothing and succeeds.
  bool PaintText(ITextStyle& style, const char* text, const IBounds& area);

  // ---- What the plug-in base asks of its editor ----
  int32_t Width() const override { return width; }
  int32_t Height() const override { return height; }
  int32_t FramesPerSecond() const override { return fps; }
  IEffectBase* Plugin() const { return plugin; }

 protected:
  IEffectBase* plugin;
  IOwnedList<IControl> controls;
  IBounds drawRect;
  RBitmap* backBuffer = nullptr;
  int32_t width;
  int32_t height;
  int32_t fps;
  int32_t captureIdx = -1;
  int32_t lastX = 0;
  int32_t lastY = 0;
  bool rightButtonDown = false;

 private:
  // Applies the values the host side posted since the last call.
  void TakeHostValues();
  void ReleaseCapture();
  // Every begin-edit gets exactly one end-edit: the parameter whose gesture
  // is open, -1 when none.
  void BeginGesture(const IControl& control);
  void EndGesture();

  int32_t gestureParamIdx = -1;
  std::atomic<bool> hostValuesPosted{false};
};
