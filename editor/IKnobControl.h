// The drag behaviour the knobs share: vertical (or horizontal) mouse
// movement turns the value, geared so that a full sweep takes `gearing`
// control heights (or widths).
#pragma once

#include "editor/IControl.h"
#include "editor/IGestureMath.h"

class IKnobControl : public IControl {
 public:
  // dragDirection 0 drags vertically, anything else horizontally.
  IKnobControl(IEffectBase* owner, const IBounds& area, int32_t parameterIndex,
               int32_t dragDirection, double dragGearing)
      : IControl(owner, area, parameterIndex),
        direction(dragDirection == 0 ? IDragDirection::Vertical : IDragDirection::Horizontal),
        gearing(dragGearing) {}

  // [GUI thread] Every step sends the new value to the plug-in; shift or
  // control gears ten times finer.
  void MouseDragged(int32_t /*x*/, int32_t /*y*/, int32_t dX, int32_t dY,
                    const IMouseKeys& keys) override {
    value = KnobDragValue(value, dX, dY, rect, gearing, direction, keys.Fine());
    MarkChanged(true);
  }

  IDragDirection direction;
  double gearing;
};
