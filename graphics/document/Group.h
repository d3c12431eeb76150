#pragma once
// A group: its rectangle always fits its children, moving it moves them, sizing it scales
// them, and hit testing looks at them.

#include "controls/VexaControl.h"

namespace pv::graphics {

class TVexaGroup : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  bool IsGroup() const override { return true; }
  // Fits the rectangle to the union of the children; an empty group shrinks to its minimal
  // size at its top-left instead of keeping a rectangle that covers nothing.
  void RefitToChildren() override;
  TRect GetRefreshRect(int32_t x, int32_t y) const override;
  bool IsPointInside(int32_t x, int32_t y) const override;
  // After the children turned: fits the rectangle to them inside a rotation bracket.
  void Rotate(const TRotateRec& rec) override;
  // Children and group in one update, ending in one rectangle notification against the
  // rectangle from before the rotation.
  void RotateAll(const TRotateRec& rec) override;
  // The children placed themselves as they were scaled (a connector reroutes, a size stops
  // at one unit): the rectangle fits them again.
  void EndTransformation() override;

 protected:
  void ControlCreate() override;
  void PropBeforeChanged(TCustomProp& prop) override;
  void PropChanged(TCustomProp& prop) override;
  void PropReadOnly(TCustomProp& prop, bool& readOnly) override;

 private:
  bool AnyChildIsHistorySource() const;
  // The children's rectangles united, in the group's coordinates (children present).
  TRect ChildrenUnion() const;
  // Each child moved inside its own update.
  void ShiftChildren(int64_t dx, int64_t dy);

  bool resizing_ = false;
  bool moving_ = false;
  bool refitting_ = false;
  TRect moveRect_{};
};

}  // namespace pv::graphics
