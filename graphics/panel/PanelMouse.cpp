// The tool modes of the panel and what the mouse does in each: selecting by click and by
// band, moving the selection as one undo step, zooming by click and by band, panning, the
// start and end of resizing by a handle, the cursor of each mode, the hover state and its
// hint, and creating a control by program.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "actions/CreateDestroyGroups.h"
#include "actions/PanelGroups.h"
#include "document/Grid.h"
#include "document/Schemes.h"
#include "document/ServiceControls.h"
#include "forms/CursorIds.h"
#include "panel/PanelHistory.h"
#include "panel/PanelPaint.h"
#include "panel/VexaPanel.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using panelwindow::ButtonFlag;
using panelwindow::TScrollBarKind;
using panelwindow::ssCtrl;
using panelwindow::ssLeft;
using panelwindow::ssShift;
using winmath::ClampToInt32;
using winmath::MulDiv;

namespace {

bool IsPointEditMode(int mode) { return mode >= 9 && mode <= 12; }

// Moving, resizing, dragging points and segments.
bool ChangesDocument(int mode) { return mode == 5 || mode == 7 || mode == 8 || mode == 11 || mode == 12; }

TRect NormalizedRect(const TRect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

TPoint Minus(TPoint a, TPoint b) {
  return {ClampToInt32(static_cast<int64_t>(a.x) - b.x), ClampToInt32(static_cast<int64_t>(a.y) - b.y)};
}

// The corner of a selection handle's cursor.
int HandleCursor(int handle) {
  switch (handle) {
    case 1: case 8: return forms::crSizeNWSE;
    case 2: case 7: return forms::crSizeNS;
    case 3: case 6: return forms::crSizeNESW;
    case 4: case 5: return forms::crSizeWE;
    default: return forms::crDefault;
  }
}

constexpr uint8_t kSnapLeftTop = static_cast<uint8_t>(TVexaSnap::snLeft) | static_cast<uint8_t>(TVexaSnap::snTop);

}  // namespace

// ---- Modes

void TVexaPanel::SetToolMode(int mode) {
  if (mode == toolMode_) return;
  FinishToolMode(toolMode_);
  toolMode_ = mode;
  StartToolMode(mode);
  UpdateCursor(mousePos_.x, mousePos_.y);
  if (OnToolMode) OnToolMode(*this);
}

void TVexaPanel::FinishToolMode(int mode) {
  switch (mode) {
    case 1:
      if (!cancelling_ && !(baseToolMode_ == 9 && pointEdited_)) ToggleBandSelection();
      SetRubberBand({});
      break;
    case 3:
      if (!cancelling_) ZoomToBand();
      SetRubberBand({});
      break;
    case 5:
      history_->EndPanelGroup(&TPanelSizeMoveHistoryGroup::ClassInfo);
      break;
    case 7:
    case 8:
      for (TVexaControl* c : std::vector<TVexaControl*>(selection_)) c->EndTransformation();
      history_->EndPanelGroup(&TPanelSizeMoveHistoryGroup::ClassInfo);
      break;
    default:
      if (IsPointEditMode(mode)) FinishPointEditMode(mode);
      break;
  }
}

void TVexaPanel::StartToolMode(int mode) {
  switch (mode) {
    case 0:
    case 2:
      SetRubberBand({});
      if (mode == 0) baseToolMode_ = 0;
      break;
    case 1:
      startPoint_ = MouseDocPoint();
      break;
    case 3:
      startPoint_ = MouseDocPoint();
      startMousePos_ = mousePos_;
      SetRubberBand({startPoint_.x, startPoint_.y, startPoint_.x, startPoint_.y});
      break;
    case 5:
      startPoint_ = lastMovedPoint_ = MouseDocPoint();
      gestureHistoryCount_ = history_->Count();
      history_->BeginPanelGroup(TPanelSizeMoveHistoryGroup::ClassInfo);
      break;
    case 7:
    case 8: {
      transformRect_ = SelectionDocRect();
      for (TVexaControl* c : std::vector<TVexaControl*>(selection_)) {
        c->BeginTransformation({transformRect_.left, transformRect_.top});
      }
      // Mode 8 drags the bottom-right corner wherever the mouse took hold.
      startPoint_ = mode == 8 ? TPoint{transformRect_.right, transformRect_.bottom} : MouseDocPoint();
      gestureHistoryCount_ = history_->Count();
      const THistoryGroup* open = history_->OpenGroup();
      const bool creating = open && (&open->ClassType() == &TPanelCreateControlsHistoryGroup::ClassInfo ||
                                     &open->ClassType() == &TControlCreateHistoryGroup::ClassInfo);
      if (!creating) history_->BeginPanelGroup(TPanelSizeMoveHistoryGroup::ClassInfo);
      break;
    }
    case 15:
      startScrollPos_ = {window_.ScrollPos(TScrollBarKind::Horizontal), window_.ScrollPos(TScrollBarKind::Vertical)};
      startMousePos_ = mousePos_;
      break;
    default:
      if (mode == 9) baseToolMode_ = 9;
      if (IsPointEditMode(mode)) StartPointEditMode(mode);
      break;
  }
}

bool TVexaPanel::IsGestureMode(int mode) {
  switch (mode) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 11: case 12: case 15: return true;
    default: return false;
  }
}

// ---- Mouse

void TVexaPanel::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  mousePos_ = {x, y};
  mouseShift_ = shift;
  // The second press of a double click starts nothing of its own.
  if (!(shift & panelwindow::ssDouble)) {
    gestureButton_ = button;
    const bool left = button == TMouseButton::mbLeft;
    switch (toolMode_) {
      case 0:
        if (editing_) SelectOnMouseDown(shift);
        break;
      case 2:
        if (left) SetToolMode(3);
        break;
      case 4:
        if (left && !selection_.empty()) SetToolMode(5);
        break;
      case 6:
        if (left && !selection_.empty()) SetToolMode(7);
        break;
      case 14:
        if (left) SetToolMode(15);
        break;
      default:
        if (IsPointEditMode(toolMode_)) PointEditMouseDown(button, shift, x, y);
        break;
    }
  }
  UpdateHover();
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TVexaPanel::SelectOnMouseDown(TShiftState shift) {
  const bool ctrl = (shift & ssCtrl) != 0;
  TVexaControl* hit = ctrl ? nullptr : ControlAtPixel(mousePos_.x, mousePos_.y);
  if (shift & ssShift) {
    if (!hit) {
      SetToolMode(1);
    } else if (IsSelected(hit)) {
      Unselect(hit);
    } else {
      SelectOne(hit);
    }
    return;
  }
  if (ctrl || !hit) {
    UnselectAll();
    SetToolMode(1);
    return;
  }
  if (!IsSelected(hit)) {
    BeginSelectionUpdate(false);
    UnselectAll();
    SelectOne(hit);
    EndSelectionUpdate(false);
  }
  if (!selection_.empty()) SetToolMode(5);
}

void TVexaPanel::MouseMove(TShiftState shift, int32_t x, int32_t y) {
  mousePos_ = {x, y};
  mouseShift_ = shift;
  // A popup opened on the press took the release: the gesture ends here as if released.
  if (gestureButton_ && !(shift & ButtonFlag(*gestureButton_))) FinishLostGesture();
  // A gesture that changes the document each step keeps the hover of its press: finding the
  // control under the mouse anew would index the changed document at every step.
  if (!ChangesDocument(toolMode_)) UpdateHover();
  HandleMouseMove(shift);
  if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TVexaPanel::HandleMouseMove(TShiftState shift) {
  const int32_t x = mousePos_.x;
  const int32_t y = mousePos_.y;
  UpdateHint();
  switch (toolMode_) {
    case 0:
      if (!editing_) break;
      handle_ = HandleAtPoint(x, y);
      if (handle_ != 0) {
        SetToolMode(6);
      } else if (!pointEdited_ && PointerOverEditRegion(x, y)) {
        SetToolMode(4);
      }
      break;
    case 1:
    case 3: {
      // The larger side takes one unit more, so that the band holds the current point.
      const TPoint p = MouseDocPoint();
      const TRect band = NormalizedRect({startPoint_.x, startPoint_.y, p.x, p.y});
      SetRubberBand({band.left, band.top, ClampToInt32(static_cast<int64_t>(band.right) + 1),
                     ClampToInt32(static_cast<int64_t>(band.bottom) + 1)});
      break;
    }
    case 4:
      if (!PointerOverEditRegion(x, y)) SetToolMode(0);
      break;
    case 5:
      MoveWithMouse(shift);
      break;
    case 6:
      handle_ = HandleAtPoint(x, y);
      if (handle_ == 0) SetToolMode(baseToolMode_);
      break;
    case 7:
    case 8: {
      if (!(shift & ssLeft)) break;
      const TPoint d = Minus(MouseDocPoint(), startPoint_);
      // One pixel at 100 %: the dragged edge lands past the pixel under the mouse.
      const int32_t dx = d.x > 0 ? ClampToInt32(static_cast<int64_t>(d.x) + 1000) : d.x;
      const int32_t dy = d.y > 0 ? ClampToInt32(static_cast<int64_t>(d.y) + 1000) : d.y;
      ResizeSelection(dx, dy, true, toolMode_ == 8 ? 8 : handle_, true, (shift & ssCtrl) != 0);
      break;
    }
    case 15:
      PanWithMouse(shift);
      break;
    default:
      if (IsPointEditMode(toolMode_)) PointEditMouseMove(shift, x, y);
      break;
  }
  UpdateCursor(x, y);
}

void TVexaPanel::MoveWithMouse(TShiftState shift) {
  const TPoint p = MouseDocPoint();
  TPoint delta = Minus(p, lastMovedPoint_);
  if (grid_->Snap()) DoSnap(grid_->HorizSize(), grid_->VertSize(), 0, grid_->SnapStyle(), delta, SelectionDocRect());
  if (shift & ssCtrl) {
    // The axis moved less since the start goes back to where the selection began.
    const TPoint moved = Minus(p, startPoint_);
    if (std::abs(static_cast<int64_t>(moved.x)) < std::abs(static_cast<int64_t>(moved.y))) {
      delta.x = Minus(startPoint_, lastMovedPoint_).x;
    } else {
      delta.y = Minus(startPoint_, lastMovedPoint_).y;
    }
  }
  if (delta.x != 0 || delta.y != 0) {
    MoveSelection(delta.x, delta.y);
    lastMovedPoint_ = {ClampToInt32(static_cast<int64_t>(lastMovedPoint_.x) + delta.x),
                       ClampToInt32(static_cast<int64_t>(lastMovedPoint_.y) + delta.y)};
  }
  if (AutoDragEnabled && toolMode_ == 5) {
    const TRect client = window_.ClientRect();
    const bool outside = mousePos_.x < client.left || mousePos_.y < client.top || mousePos_.x >= client.right ||
                         mousePos_.y >= client.bottom;
    if (outside) StartAutoDrag();
  }
}

void TVexaPanel::PanWithMouse(TShiftState shift) {
  if (!window_.ScrollBarVisible(TScrollBarKind::Horizontal) && !window_.ScrollBarVisible(TScrollBarKind::Vertical)) {
    return;
  }
  TPoint d = Minus(mousePos_, startMousePos_);
  if (shift & ssCtrl) {
    if (std::abs(static_cast<int64_t>(d.x)) < std::abs(static_cast<int64_t>(d.y))) {
      d.x = 0;
    } else {
      d.y = 0;
    }
  }
  window_.SetScrollPos(TScrollBarKind::Horizontal, Minus(startScrollPos_, d).x);
  window_.SetScrollPos(TScrollBarKind::Vertical, Minus(startScrollPos_, d).y);
  const TPoint before = origin_;
  UpdateOrigin();
  if (origin_ != before) Repaint();
}

void TVexaPanel::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  mousePos_ = {x, y};
  mouseShift_ = shift;
  gestureButton_.reset();
  if (toolMode_ == 8 && selection_.size() == 1) {
    // A control dragged out to a couple of pixels was a slip of the hand.
    const TRect r = selection_.front()->GetDocRect();
    const int32_t least = MulDiv(2, 100000, scale_);
    if (RectWidth(NormalizedRect(r)) <= least || RectHeight(NormalizedRect(r)) <= least) DeleteSelected();
  }
  switch (toolMode_) {
    case 3:
      SetToolMode(2);
      break;
    case 15:
      SetToolMode(14);
      break;
    case 1:
    case 5:
    case 6:
    case 7:
    case 8:
      SetToolMode(baseToolMode_);
      break;
    default:
      if (IsPointEditMode(toolMode_)) {
        PointEditMouseUp(button, shift, x, y);
        SetToolMode(baseToolMode_);
      }
      break;
  }
  UpdateHover();
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TVexaPanel::FinishLostGesture() {
  if (!gestureButton_) return;
  const TMouseButton button = *gestureButton_;
  MouseUp(button, mouseShift_ & ~ButtonFlag(button), mousePos_.x, mousePos_.y);
}

// ---- What the selection tools do at their end

void TVexaPanel::ToggleBandSelection() {
  const TRect band = NormalizedRect(rubberBand_);
  TVexaControl* scheme = activeScheme_;
  if (!scheme) return;
  BeginSelectionUpdate(false);
  std::vector<TVexaControl*> unselect;
  for (int i = 0; i < scheme->GetCount(); ++i) {
    TVexaControl* c = scheme->GetChild(i);
    const TRect r = NormalizedRect(c->GetDocRect());
    const bool inside = r.left > band.left && r.right < band.right && r.top > band.top && r.bottom < band.bottom;
    const bool overlaps = SelectPartialOverlapped && r.left < band.right && r.right > band.left &&
                          r.top < band.bottom && r.bottom > band.top;
    if (!inside && !overlaps) continue;
    if (IsSelected(c)) {
      unselect.push_back(c);
    } else {
      SelectOne(c);
    }
  }
  UnselectMany(unselect);
  EndSelectionUpdate(false);
}

void TVexaPanel::ZoomToBand() {
  const TRect band = NormalizedRect(rubberBand_);
  const bool click = std::abs(static_cast<int64_t>(mousePos_.x) - startMousePos_.x) < 3 &&
                     std::abs(static_cast<int64_t>(mousePos_.y) - startMousePos_.y) < 3;
  double scale = 0;
  if (click || zoomOut_) {
    scale = zoomOut_ ? scale_ / 2 : static_cast<double>(scale_) * 2;
  } else {
    const TRect client = window_.ClientRect();
    // Each ratio in real numbers: a band of a few pixels gives a large scale, never a zero one.
    const double bandWidth = static_cast<double>(RectWidth(band)) * scale_ / 100000;
    const double bandHeight = static_cast<double>(RectHeight(band)) * scale_ / 100000;
    const double rx = bandWidth < 1 ? 1 : RectWidth(client) / bandWidth;
    const double ry = bandHeight < 1 ? 1 : RectHeight(client) / bandHeight;
    scale = std::round(std::min(rx, ry) * scale_);
  }
  const auto clamped = static_cast<int32_t>(std::clamp<double>(scale, kMinScale, kMaxScale));
  SetScaleAndCenter(clamped, band);
}

// ---- Handles, cursor, hover and hints

int TVexaPanel::HandleAtPoint(int32_t x, int32_t y) const {
  if (!GetHandlesRegion().Contains(x, y)) return 0;
  const TRect r = DocToPixelRect(SelectionDocRect());
  const TRect box{r.left - 6, r.top - 6, r.right + 6, r.bottom + 6};
  const int32_t a = RectWidth(box) / 3;
  const int32_t b = RectHeight(box) / 3;
  const int column = x < box.left + a ? 0 : x > box.right - a ? 2 : 1;
  if (y < box.top + b) return 1 + column;
  if (y > box.bottom - b) return 6 + column;
  return column == 0 ? 4 : 5;
}

void TVexaPanel::UpdateCursor(int32_t x, int32_t y) {
  int cursor = forms::crDefault;
  switch (toolMode_) {
    case 0:
    case 8:
      if (!editing_) {
        TVexaControl* hit = (TPoint{x, y} == mousePos_) ? hoveredTop_ : ControlAtPixel(x, y);
        if (hit && hit->GetReference()) cursor = forms::crHandPoint;
      }
      break;
    case 2:
    case 3:
      zoomOut_ = (mouseShift_ & ssCtrl) != 0;
      cursor = zoomOut_ ? forms::crZoomOut : forms::crZoomIn;
      break;
    case 4:
    case 5:
      cursor = forms::crSizeAll;
      break;
    case 6:
    case 7:
      cursor = HandleCursor(handle_);
      break;
    case 14:
      cursor = forms::crPan;
      break;
    case 15:
      cursor = forms::crPanning;
      break;
    default:
      if (IsPointEditMode(toolMode_)) cursor = PointEditCursor(x, y);
      break;
  }
  if (OnUpdateCursor) OnUpdateCursor(*this, cursor);
  if (cursor == cursor_) return;
  cursor_ = cursor;
  window_.SetCursor(cursor);
}

TVexaControl* TVexaPanel::ControlAtPixel(int32_t x, int32_t y) {
  if (!activeScheme_) return nullptr;
  if (!activeScheme_->IsCustomScheme()) return activeScheme_->FindControlAt(x, y);
  // The paint index holds what paints near the point, in paint order: the last one there
  // that takes the point is on top. Hit tests reach a few pixels past a control's paint
  // extent at most (the tolerance of a thin line), so the query looks that far around.
  const TRect r = activeScheme_->GetDocRect();
  const TVexaPaintIndex& index = PaintIndexOf(*activeScheme_, r.left, r.top);
  const TPoint a = PixelToDocPoint({x - kHitReach, y - kHitReach});
  const TPoint b = PixelToDocPoint({x + kHitReach + 1, y + kHitReach + 1});
  index.Query({a.x, a.y, b.x, b.y}, hitCandidates_);
  for (auto it = hitCandidates_.rbegin(); it != hitCandidates_.rend(); ++it) {
    TVexaControl* c = *it;
    if (c->GetVisible() && c->IsSelectable() && c->IsPointInside(x, y)) return c;
  }
  return nullptr;
}

void TVexaPanel::UpdateHover() {
  hoveredTop_ = ControlAtPixel(mousePos_.x, mousePos_.y);
  hovered_ = hoveredTop_;
  if (!hoveredTop_) return;
  // One level inside: the last visible child there.
  for (int i = hoveredTop_->GetCount(); i-- > 0;) {
    TVexaControl* child = hoveredTop_->GetChild(i);
    if (child->GetVisible() && child->IsPointInside(mousePos_.x, mousePos_.y)) {
      hovered_ = child;
      break;
    }
  }
}

void TVexaPanel::UpdateHint() {
  TVexaControl* hint = nullptr;
  if (toolMode_ == 0 && ShowHint && DoNeedHint()) {
    for (TVexaControl* c = hovered_; c; c = c->GetParent()) {
      if (!c->Hint().GetText().empty()) {
        hint = c;
        break;
      }
      if (c == hoveredTop_) break;
    }
    if (!hint && activeScheme_ && activeScheme_->IsPointInside(mousePos_.x, mousePos_.y)) hint = activeScheme_;
    if (hint && !hint->GetShowHint()) hint = nullptr;
  }
  if (hint == hintControl_) return;
  hintControl_ = hint;
  window_.SetToolTip({});
  if (!hint) return;
  std::string text = hint->Hint().GetText();
  if (DoShowHint(text) && !text.empty()) window_.SetToolTip(text);
}

bool TVexaPanel::DoNeedHint() {
  bool allow = true;
  if (OnNeedHint) OnNeedHint(*this, allow);
  return allow;
}

bool TVexaPanel::DoShowHint(std::string& text) {
  bool canShow = true;
  if (OnShowHint) OnShowHint(*this, hintControl_, text, canShow);
  return canShow;
}

// ---- Creation (resizing is PanelResize.cpp)

TVexaControl* TVexaPanel::CreateControl(const TVexaControlClass& controlClass, int32_t left, int32_t top,
                                        int32_t width, int32_t height, bool snap, TVexaControl* layer,
                                        TVexaControl* scheme) {
  if (!scheme) scheme = activeScheme_;
  if (!layer) layer = activeLayer_;
  if (!scheme) throw EPanelError("Scheme must exist");
  if (!layer) throw EPanelError("Layer must exist");
  const auto* l = dynamic_cast<const TVexaLayer*>(layer);
  if (!l || !l->GetVisible() || !l->GetSelectable() || !l->GetMoveable() || l->GetReadOnly()) {
    throw EPanelError("Can't create control on invisible or disabled layer");
  }
  if (!controlClass.create) throw EPanelError(std::string("Cannot create a control of class ") + controlClass.Name());
  TVexaControl* control = controlClass.create(this, scheme, layer);
  if (width == 0) width = control->GetWidth();
  if (height == 0) height = control->GetHeight();
  if (snap && grid_->Snap()) {
    // The left-top corner onto the grid, by the rule every snap of the panel follows.
    TPoint delta{0, 0};
    DoSnap(grid_->HorizSize(), grid_->VertSize(), 0, kSnapLeftTop, delta, {left, top, left, top});
    left = ClampToInt32(static_cast<int64_t>(left) + delta.x);
    top = ClampToInt32(static_cast<int64_t>(top) + delta.y);
  }
  // The rectangle joins the creation step: undo takes the control away in one step.
  THistoryGroup* creation = nullptr;
  const int last = history_->Count() - 1;
  if (!history_->OpenGroup() && last >= 0 && history_->ActionIndex() == last &&
      &history_->GetAction(last)->ClassType() == &TControlCreateHistoryGroup::ClassInfo) {
    creation = history_->ReopenLastGroup();
  }
  control->SetDocRect({left, top, ClampToInt32(static_cast<int64_t>(left) + width),
                       ClampToInt32(static_cast<int64_t>(top) + height)});
  if (creation) history_->EndAction();
  if (OnControlCreate) OnControlCreate(*this, *control);
  return control;
}

// ---- The window's input

void TVexaPanel::WindowMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  MouseDown(button, shift, x, y);
}

void TVexaPanel::WindowMouseMove(TShiftState shift, int32_t x, int32_t y) { MouseMove(shift, x, y); }

void TVexaPanel::WindowMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  // A left press released over the window is a click.
  const TRect client = window_.ClientRect();
  const bool click = button == TMouseButton::mbLeft && gestureButton_ == TMouseButton::mbLeft && x >= client.left &&
                     y >= client.top && x < client.right && y < client.bottom;
  if (click) Click({x, y});
  MouseUp(button, shift, x, y);
}

void TVexaPanel::WindowDoubleClick(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  MouseDown(button, shift | panelwindow::ssDouble, x, y);
}

void TVexaPanel::WindowFocusLost() { FinishLostGesture(); }

void TVexaPanel::WindowHidden() { FinishLostGesture(); }

}  // namespace pv::graphics
