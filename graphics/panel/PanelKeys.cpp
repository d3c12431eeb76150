// The keys of the panel: Ctrl, Shift and Alt change what the tool under the pointer does at
// once, the arrow keys move the selection, Delete deletes it and Escape takes back a band or
// a gesture in progress.

#include "document/Grid.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using panelwindow::TScrollBarKind;
using winmath::ClampToInt32;

namespace {

constexpr TVexaPanel::TShiftState kModifiers = panelwindow::ssShift | panelwindow::ssAlt | panelwindow::ssCtrl;

// The select tool and its hover states: the modes where the selection takes keys.
bool TakesSelectionKeys(int mode) { return mode == 0 || mode == 4 || mode == 6; }

}  // namespace

bool TVexaPanel::KeyDown(uint16_t key, TShiftState shift) {
  if ((shift & kModifiers) != (mouseShift_ & kModifiers)) {
    mouseShift_ = (mouseShift_ & ~kModifiers) | (shift & kModifiers);
    HandleMouseMove(mouseShift_);
  }
  switch (key) {
    case panelwindow::vkEscape:
      if (!IsGestureMode(toolMode_)) return false;
      CancelGesture();
      return true;
    case panelwindow::vkDelete:
      if (!editing_ || !TakesSelectionKeys(toolMode_) || selection_.empty()) return false;
      DeleteSelected();
      return true;
    case panelwindow::vkLeft:
    case panelwindow::vkRight:
    case panelwindow::vkUp:
    case panelwindow::vkDown: {
      if (!editing_ || !TakesSelectionKeys(toolMode_) || selection_.empty()) return false;
      // A grid step when snapping, else what one pixel is worth at this scale.
      const bool snap = grid_->Snap();
      const int32_t stepX = snap && grid_->HorizSize() > 0 ? grid_->HorizSize() : std::max(1, UnscaleValue(1));
      const int32_t stepY = snap && grid_->VertSize() > 0 ? grid_->VertSize() : std::max(1, UnscaleValue(1));
      const int32_t dx = key == panelwindow::vkLeft ? -stepX : key == panelwindow::vkRight ? stepX : 0;
      const int32_t dy = key == panelwindow::vkUp ? -stepY : key == panelwindow::vkDown ? stepY : 0;
      MoveSelection(dx, dy);
      return true;
    }
    default:
      return false;
  }
}

void TVexaPanel::KeyUp(uint16_t, TShiftState shift) {
  if ((shift & kModifiers) == (mouseShift_ & kModifiers)) return;
  mouseShift_ = (mouseShift_ & ~kModifiers) | (shift & kModifiers);
  HandleMouseMove(mouseShift_);
}

void TVexaPanel::CancelGesture() {
  const int mode = toolMode_;
  gestureButton_.reset();
  cancelling_ = true;
  switch (mode) {
    case 3:
      SetToolMode(2);
      break;
    case 15:
      window_.SetScrollPos(TScrollBarKind::Horizontal, startScrollPos_.x);
      window_.SetScrollPos(TScrollBarKind::Vertical, startScrollPos_.y);
      UpdateOrigin();
      Repaint();
      SetToolMode(14);
      break;
    case 5:
      // Back to where the selection began, then the whole gesture leaves no step.
      MoveSelection(ClampToInt32(static_cast<int64_t>(startPoint_.x) - lastMovedPoint_.x),
                    ClampToInt32(static_cast<int64_t>(startPoint_.y) - lastMovedPoint_.y));
      lastMovedPoint_ = startPoint_;
      SetToolMode(baseToolMode_);
      if (history_->Count() > gestureHistoryCount_) history_->DeleteLast();
      break;
    case 7:
    case 8:
      // No change of size is the rectangle the resizing began from.
      ResizeSelection(0, 0, false, mode == 8 ? 8 : handle_, false, false);
      SetToolMode(baseToolMode_);
      if (history_->Count() > gestureHistoryCount_) history_->DeleteLast();
      break;
    default:
      SetToolMode(baseToolMode_);
      break;
  }
  cancelling_ = false;
}

bool TVexaPanel::WindowKeyDown(uint16_t key, TShiftState shift) { return KeyDown(key, shift); }

void TVexaPanel::WindowKeyUp(uint16_t key, TShiftState shift) { KeyUp(key, shift); }

}  // namespace pv::graphics
