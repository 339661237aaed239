// The base of every element of the editor: a rectangle that paints itself
// through the editor, takes the mouse events the editor routes to it and,
// when bound to a parameter, holds that parameter's normalised value.
//
// Threads: every operation runs on the editor's (GUI) thread, except
// PostHostValue, which the plug-in's side calls from any host thread with
// the plug-in lock held. Values from the host reach a control through a
// one-value mailbox of atomics that the GUI thread empties before it reads
// or paints (TakePostedHostValue); so the GUI thread never takes a lock and
// no field below is written by two threads. The control takes no lock
// itself; pushing a value takes the plug-in lock inside the plug-in base.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/IBitmapStrip.h"
#include "editor/IBlendSpec.h"
#include "editor/IBounds.h"
#include "editor/IMouseKeys.h"

class IEditor;
class IEffectBase;
class IParameter;

class IControl {
 public:
  // rect is also the area that takes the mouse; paramIdx -1 binds none.
  IControl(IEffectBase* plugin, const IBounds& rect, int32_t paramIdx = -1);

  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ---- Virtual operations, in slot order; all [GUI thread] ----
  // Not in use: kept in its documented place; nothing in the product calls it.
  //   MouseMovedOver, MouseLeft: the editor does not track hovering
  //   IdleHook: the idle tick calls no control
  // Kept in its documented place; no control in the product overrides it:
  //   KeyPressed: IEditor::HandleKey routes keys to it, and every key is ignored
  virtual ~IControl() = default;
  // The right button opens the parameter's text entry.
  virtual void MousePressed(int32_t x, int32_t y, const IMouseKeys& keys);
  virtual void MouseReleased(int32_t /*x*/, int32_t /*y*/, const IMouseKeys& /*keys*/) {}
  virtual void MouseDragged(int32_t /*x*/, int32_t /*y*/, int32_t /*dX*/, int32_t /*dY*/,
                            const IMouseKeys& /*keys*/) {}
  // Restores the first value the plug-in ever showed this control.
  virtual void MouseDoubleClicked(int32_t x, int32_t y, const IMouseKeys& keys);
  virtual void MouseWheelTurned(int32_t x, int32_t y, const IMouseKeys& keys, int32_t notches);
  // Returns whether the key was used (the editor ignores it).
  virtual bool KeyPressed(int32_t /*x*/, int32_t /*y*/, int32_t /*key*/) { return false; }
  virtual void MouseMovedOver(int32_t /*x*/, int32_t /*y*/, const IMouseKeys& /*keys*/) {}
  virtual void MouseLeft() {}
  // Draws into the editor's back buffer through its drawing operations.
  virtual bool Paint(IEditor& editor) = 0;
  // A value from the plug-in: stored and marked for painting, never pushed
  // back. The first value ever applied also becomes the double-click value.
  virtual void ApplyHostValue(double v);
  // A value from the text entry: stored and pushed to the plug-in.
  virtual void ApplyTypedValue(double v);
  virtual void SetHidden(bool hide);
  // A greyed control is not hit and paints at a quarter of its opacity.
  virtual void SetGrayed(bool grey);
  virtual bool HitTest(int32_t x, int32_t y) { return targetRect.Contains(x, y); }
  // Clamps the value, marks the control for painting and, with push, sends
  // the value to the plug-in.
  virtual void MarkChanged(bool push);
  // After every paint pass, painted or not: a changed control stays marked
  // for exactly one more pass.
  virtual void MarkPainted();
  virtual bool NeedsPaint() { return dirty; }
  virtual void IdleHook() {}

  // ---- [GUI thread] ----
  // Opens the editor's text entry for the bound parameter.
  void PromptForValue();
  // The text entry opened for this control closed, committed or not; marks
  // the control for painting and sends nothing.
  void EndTextEntry();
  // The bound parameter, or null.
  IParameter* Parameter() const;
  // The editor attached to the plug-in, or null.
  IEditor* Editor() const;
  // The area the control may draw into: rect and the value text's overhang.
  IBounds PaintArea() const {
    if (rect.IsEmpty()) return rect;
    return {rect.L - textOverhang, rect.T, rect.R + textOverhang, rect.B};
  }
  // Writes the parameter's value text for the control's value (empty for a
  // control without a parameter). The text is computed from the control's
  // own value, stepped as the parameter steps it, so the GUI thread never
  // reads the parameter's value, which host threads write.
  void ValueText(char* text, int32_t capacity, bool withLabel) const;
  // Applies the value last posted by the host side, if any; true if there
  // was one.
  bool TakePostedHostValue();

  // ---- [any thread, plug-in lock held] ----
  // Leaves v in the mailbox for the GUI thread; the latest value wins.
  void PostHostValue(double v);

  IEffectBase* plugin;
  IBounds rect;
  IBounds targetRect;
  // How far a centred value text may reach beyond each side of rect ("20000Hz"
  // is wider than the Split Freq knob). The editor repaints that much more,
  // so what is drawn and what is repainted agree and no stale text stays.
  int32_t textOverhang = 0;
  IBitmapStrip frameCache;
  int32_t paramIdx;
  double value = 0.0;
  double defaultValue = -1.0;
  double minValue = 0.0;
  double maxValue = 1.0;
  bool dirty = true;
  bool hidden = false;
  bool grayed = false;
  bool redrawNext = false;
  bool noTextEntry = false;
  bool textEntryOpen = false;
  bool dblClickAsPress = false;
  IBlendSpec blend;

 private:
  std::atomic<double> postedValue{0.0};
  std::atomic<bool> valuePosted{false};
};
