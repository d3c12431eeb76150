#pragma once
// What a drag from one panel to another carries: the control, where it was grabbed, and the
// panel it came from.

#include "base/Geometry.h"

namespace pv::graphics {

class IVexaPanel;
class TVexaControl;

class TVexaDragObject {
 public:
  // grab: the offset of the grab point from the control's top-left, document units.
  TVexaDragObject(TVexaControl& control, TPoint grab, IVexaPanel* source);
  // A control that was never dropped goes with the drag.
  ~TVexaDragObject();
  TVexaDragObject(const TVexaDragObject&) = delete;
  TVexaDragObject& operator=(const TVexaDragObject&) = delete;

  TVexaControl* Control() const { return control_; }
  TPoint Grab() const { return grab_; }
  IVexaPanel* SourcePanel() const { return source_; }

  // The drag enters target: the control moves into it, without layer, selection, or its old
  // IDs, at (0, 0). Nothing is recorded in either panel.
  void PrepareForDrag(IVexaPanel& target);
  // Drops at a pixel point: into the panel's active scheme and layer, the grab point under
  // the mouse.
  void DropAt(IVexaPanel& panel, int32_t x, int32_t y);
  // The control has found its place (or was dissolved there): the drag no longer frees it.
  void GiveUpControl() { control_ = nullptr; }

 private:
  TVexaControl* control_;
  TPoint grab_;
  IVexaPanel* source_;
};

}  // namespace pv::graphics
