// Resizing the selection by one of its eight handles, mirroring it when a handle crosses the
// opposite edge, and snapping a moved or resized rectangle to the grid.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "actions/CreateDestroyGroups.h"
#include "actions/PanelGroups.h"
#include "base/Geometry.h"
#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using winmath::ClampToInt32;

namespace {

constexpr uint8_t kSnapLeft = static_cast<uint8_t>(TVexaSnap::snLeft);
constexpr uint8_t kSnapTop = static_cast<uint8_t>(TVexaSnap::snTop);
constexpr uint8_t kSnapRight = static_cast<uint8_t>(TVexaSnap::snRight);
constexpr uint8_t kSnapBottom = static_cast<uint8_t>(TVexaSnap::snBottom);
constexpr uint8_t kSnapCenter = static_cast<uint8_t>(TVexaSnap::snCenter);
constexpr uint8_t kSnapAll = static_cast<uint8_t>(TVexaSnap::snAll);
constexpr uint8_t kSnapSides = kSnapLeft | kSnapTop | kSnapRight | kSnapBottom;

bool MovesLeft(int handle) { return handle == 1 || handle == 4 || handle == 6; }
bool MovesTop(int handle) { return handle == 1 || handle == 2 || handle == 3; }
bool MovesRight(int handle) { return handle == 3 || handle == 5 || handle == 8; }
bool MovesBottom(int handle) { return handle == 6 || handle == 7 || handle == 8; }

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// What moves v onto the nearest line of a grid of step size; an exact half goes to the line
// above (towards positive infinity), the same rule on both sides of the origin.
int64_t GridCorrection(int64_t v, int32_t size) {
  const int64_t line = FloorDiv(2 * v + size, 2 * static_cast<int64_t>(size)) * size;
  return line - v;
}

// The smallest correction of the candidates on one axis; the first one wins a tie.
struct TAxisSnap {
  bool found = false;
  int64_t correction = 0;
  void Offer(int64_t v, int32_t size) {
    if (size <= 0) return;
    const int64_t c = GridCorrection(v, size);
    if (!found || std::llabs(c) < std::llabs(correction)) correction = c;
    found = true;
  }
};

TRect Normalized(const TRect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

bool OnReadOnlyLayer(const TVexaControl& control) {
  const auto* layer = dynamic_cast<const TVexaLayer*>(control.GetLayer());
  return layer && layer->GetReadOnly();
}

// Whether an ancestor below the scheme forbids changing its Left (or Top): the control then
// keeps its place on that axis.
bool AncestorLocks(const TVexaControl& control, const char* propName) {
  for (TVexaControl* p = control.GetParent(); p && !p->IsCustomScheme(); p = p->GetParent()) {
    TCustomProp* prop = p->Props().PropByName(propName);
    if (prop && p->Props().IsReadOnly(*prop)) return true;
  }
  return false;
}

// One axis of a resize: the edges of the new extent from the base edges, the signed new
// length and whether the handle drags the low edge (left or top).
struct TAxisResize {
  int64_t low;
  int64_t high;
};

TAxisResize ResizedAxis(int64_t baseLow, int64_t baseHigh, int64_t length, bool dragsLow) {
  // The edge opposite the handle stays; the dragged one ends at the new length from it, on
  // the far side when the length is negative (mirrored).
  const int64_t anchor = dragsLow ? baseHigh : baseLow;
  const int64_t moved = dragsLow ? anchor - length : anchor + length;
  return {std::min(anchor, moved), std::max(anchor, moved)};
}

// The signed new width and height of a resize by a handle from a base of w x h: negative
// past the opposite edge, never 0 (a flat selection could never grow again).
struct TExtents {
  int64_t width;
  int64_t height;
};

TExtents ResizedExtents(int64_t w, int64_t h, int32_t dx, int32_t dy, int handle, bool proportional) {
  const int64_t absW = std::llabs(w);
  const int64_t absH = std::llabs(h);
  int64_t width = absW + (MovesLeft(handle) ? -static_cast<int64_t>(dx) : dx);
  int64_t height = absH + (MovesTop(handle) ? -static_cast<int64_t>(dy) : dy);
  if (proportional) {
    // The largest rectangle of the base's proportions inside the dragged one.
    const int64_t t = h == 0 ? std::llabs(height) : std::llabs(RoundHeld(static_cast<double>(absW) / absH * height));
    const int64_t u = w == 0 ? std::llabs(width) : std::llabs(RoundHeld(static_cast<double>(absH) / absW * width));
    if (u < std::llabs(height)) {
      height = height < 0 ? -u : u;
    } else {
      width = width < 0 ? -t : t;
    }
  }
  // One unit, on the side the selection is on now.
  if (width == 0) width = w < 0 ? -1 : 1;
  if (height == 0) height = h < 0 ? -1 : 1;
  return {width, height};
}

// Where a resize puts each control: its rectangle saved when resizing began, relative to the
// base's left-top, reflected inside the base on an axis mirrored since (the transformation
// rectangle swapped), scaled, and placed at the new rectangle's left-top.
class TResizeMap {
 public:
  TResizeMap(const TRect& base, const TRect& transform, TExtents size, int handle)
      : base_(base),
        width_(static_cast<int64_t>(base.right) - base.left),
        height_(static_cast<int64_t>(base.bottom) - base.top),
        flippedX_(transform.left > transform.right),
        flippedY_(transform.top > transform.bottom),
        fx_(width_ == 0 ? 1.0 : static_cast<double>(std::llabs(size.width)) / static_cast<double>(width_)),
        fy_(height_ == 0 ? 1.0 : static_cast<double>(std::llabs(size.height)) / static_cast<double>(height_)) {
    left_ = ClampToInt32(ResizedAxis(base.left, base.right, size.width, MovesLeft(handle)).low);
    top_ = ClampToInt32(ResizedAxis(base.top, base.bottom, size.height, MovesTop(handle)).low);
  }

  TRect Target(const TVexaControl& c) const {
    const TRect saved = c.SavedRect();
    const TPoint origin = c.SavedOrigin();
    int64_t l = static_cast<int64_t>(saved.left) + origin.x - base_.left;
    int64_t r = static_cast<int64_t>(saved.right) + origin.x - base_.left;
    int64_t t = static_cast<int64_t>(saved.top) + origin.y - base_.top;
    int64_t b = static_cast<int64_t>(saved.bottom) + origin.y - base_.top;
    if (flippedX_) std::tie(l, r) = std::pair{width_ - r, width_ - l};
    if (flippedY_) std::tie(t, b) = std::pair{height_ - b, height_ - t};
    TRect out{ClampToInt32(RoundScaled(fx_, l) + static_cast<int64_t>(left_)),
              ClampToInt32(RoundScaled(fy_, t) + static_cast<int64_t>(top_)),
              ClampToInt32(RoundScaled(fx_, r) + static_cast<int64_t>(left_)),
              ClampToInt32(RoundScaled(fy_, b) + static_cast<int64_t>(top_))};
    // A control with an extent keeps one unit of it.
    if (out.right == out.left && r != l) out.right = out.left + 1;
    if (out.bottom == out.top && b != t) out.bottom = out.top + 1;
    const TRect now = c.GetDocRect();
    if (AncestorLocks(c, "Left")) out.left = now.left, out.right = now.right;
    if (AncestorLocks(c, "Top")) out.top = now.top, out.bottom = now.bottom;
    return out;
  }

 private:
  TRect base_;
  int64_t width_;
  int64_t height_;
  bool flippedX_;
  bool flippedY_;
  double fx_;
  double fy_;
  int32_t left_ = 0;
  int32_t top_ = 0;
};

// A selected control and its descendants (those not on a read-only layer) to where the map
// puts them. Members are placed before the groups that hold them, each less what its groups
// will still carry it by: a group's undo step then comes after its members' steps, and undo
// puts the group back first, with the members where they were inside it.
void PlaceSubtree(TVexaControl& selected, const TResizeMap& map, bool mirrorX, bool mirrorY) {
  struct TPlacement {
    TVexaControl* control;
    TRect rect;
    TPoint carried;
  };
  std::vector<TPlacement> subtree;
  std::unordered_map<const TVexaControl*, TPoint> carries;
  TPassControlRec pass;
  for (TVexaControl* c = pass.PassFirst(&selected); c; c = pass.PassNext()) {
    TPoint carried{0, 0};
    if (c != &selected) {
      const auto found = carries.find(c->GetParent());
      if (found != carries.end()) carried = found->second;
    }
    // A control that joined the selection after resizing began has no rectangle to scale from.
    const bool fixed = OnReadOnlyLayer(*c) || !c->HasState(csTransforming);
    if (!fixed && (mirrorX || mirrorY)) c->Mirror(mirrorX, mirrorY);
    const TRect now = c->GetDocRect();
    const TRect rect = fixed ? now : map.Target(*c);
    if (c->GetCount() > 0) {
      carries[c] = {ClampToInt32(static_cast<int64_t>(carried.x) + rect.left - now.left),
                    ClampToInt32(static_cast<int64_t>(carried.y) + rect.top - now.top)};
    }
    if (!fixed) subtree.push_back({c, rect, carried});
  }
  for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
    const TRect& r = it->rect;
    const TPoint d = it->carried;
    const TRect wanted{ClampToInt32(static_cast<int64_t>(r.left) - d.x), ClampToInt32(static_cast<int64_t>(r.top) - d.y),
                       ClampToInt32(static_cast<int64_t>(r.right) - d.x),
                       ClampToInt32(static_cast<int64_t>(r.bottom) - d.y)};
    if (wanted != it->control->GetDocRect()) it->control->SetDocRect(wanted);
  }
}

}  // namespace

void TVexaPanel::DoSnap(int32_t gridWidth, int32_t gridHeight, int handle, uint8_t snapStyle, TPoint& delta,
                        const TRect& rect) {
  int64_t left = rect.left;
  int64_t top = rect.top;
  int64_t right = rect.right;
  int64_t bottom = rect.bottom;
  uint8_t sides = snapStyle;
  if (handle == 0) {
    left += delta.x;
    right += delta.x;
    top += delta.y;
    bottom += delta.y;
  } else {
    sides = 0;
    if (MovesLeft(handle)) left += delta.x, sides |= kSnapLeft;
    if (MovesTop(handle)) top += delta.y, sides |= kSnapTop;
    if (MovesRight(handle)) right += delta.x, sides |= kSnapRight;
    if (MovesBottom(handle)) bottom += delta.y, sides |= kSnapBottom;
    if (snapStyle & kSnapCenter) sides |= kSnapCenter;
    if (!(snapStyle & kSnapAll)) sides &= snapStyle;
  }
  TAxisSnap x;
  TAxisSnap y;
  if (sides & kSnapLeft) x.Offer(left, gridWidth);
  if (sides & kSnapTop) y.Offer(top, gridHeight);
  if (sides & kSnapRight) x.Offer(right, gridWidth);
  if (sides & kSnapBottom) y.Offer(bottom, gridHeight);
  if (sides & kSnapCenter) {
    x.Offer(FloorDiv(left + right, 2), gridWidth);
    y.Offer(FloorDiv(top + bottom, 2), gridHeight);
  }
  if (x.found) delta.x = ClampToInt32(delta.x + x.correction);
  if (y.found) delta.y = ClampToInt32(delta.y + y.correction);
}

bool TVexaPanel::CreationGroupOpen() const {
  for (THistoryGroup* g = history_->OpenGroup(); g; g = g->Parent()) {
    const THistoryActionClass& cls = g->ClassType();
    if (&cls == &TControlCreateHistoryGroup::ClassInfo || &cls == &TPanelCreateControlsHistoryGroup::ClassInfo) {
      return true;
    }
  }
  return false;
}

void TVexaPanel::ResizeSelection(int32_t dx, int32_t dy, bool snapCorners, int handle, bool useGrid,
                                 bool proportional) {
  if (selection_.empty() || handle < 1 || handle > 8) return;
  // Outside a resizing gesture the call is one of its own: the mode's bracket (transformation
  // and undo step) around one step.
  const int mode = toolMode_;
  const bool ownMode = mode != 7 && mode != 8;
  if (ownMode) SetToolMode(7);
  if (useGrid && grid_->Snap()) {
    uint8_t style = grid_->SnapStyle();
    if (snapCorners && (style & kSnapSides)) style = kSnapSides | (style & kSnapCenter);
    TPoint delta{dx, dy};
    DoSnap(grid_->HorizSize(), grid_->VertSize(), handle, style, delta, Normalized(transformRect_));
    dx = delta.x;
    dy = delta.y;
  }
  ApplyResize(dx, dy, handle, proportional);
  if (ownMode) SetToolMode(mode);
}

void TVexaPanel::ApplyResize(int32_t dx, int32_t dy, int handle, bool proportional) {
  if (handle == 2 || handle == 7) dx = 0;
  if (handle == 4 || handle == 5) dy = 0;
  const int64_t w = static_cast<int64_t>(transformRect_.right) - transformRect_.left;
  const int64_t h = static_cast<int64_t>(transformRect_.bottom) - transformRect_.top;
  const TExtents size = ResizedExtents(w, h, dx, dy, handle, proportional);
  const bool mirrorX = (size.width < 0) != (w < 0);
  const bool mirrorY = (size.height < 0) != (h < 0);
  const TRect base = Normalized(transformRect_);

  BeginSelectionUpdate(true);
  try {
    const int32_t cx = ClampToInt32((static_cast<int64_t>(base.left) + base.right) / 2);
    const int32_t cy = ClampToInt32((static_cast<int64_t>(base.top) + base.bottom) / 2);
    if (mirrorX) {
      RotateSelection({cx, cy, 0, true});
      std::swap(transformRect_.left, transformRect_.right);
    }
    if (mirrorY) {
      RotateSelection({cx, cy, 180, true});
      std::swap(transformRect_.top, transformRect_.bottom);
    }
    const TResizeMap map(base, transformRect_, size, handle);
    for (TVexaControl* selected : std::vector<TVexaControl*>(selection_)) {
      PlaceSubtree(*selected, map, mirrorX, mirrorY);
    }
  } catch (...) {
    EndSelectionUpdate(true);
    throw;
  }
  EndSelectionUpdate(true);
}

}  // namespace pv::graphics
