// Resizing the selection by one of its eight handles, mirroring it when a handle crosses the
// opposite edge, and snapping a moved or resized rectangle to the grid.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "actions/CreateDestroyGroups.h"
#include "actions/PanelGroups.h"
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

int32_t RoundScaled(double scale, int64_t v) { return ClampToInt32(std::llround(scale * static_cast<double>(v))); }

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
  const int64_t absW = std::llabs(w);
  const int64_t absH = std::llabs(h);
  const int sx = MovesLeft(handle) ? -1 : 1;
  const int sy = MovesTop(handle) ? -1 : 1;
  int64_t newW = absW + static_cast<int64_t>(sx) * dx;
  int64_t newH = absH + static_cast<int64_t>(sy) * dy;
  if (proportional) {
    const int64_t t = h == 0 ? std::llabs(newH) : std::llabs(std::llround(static_cast<double>(absW) / absH * newH));
    const int64_t u = w == 0 ? std::llabs(newW) : std::llabs(std::llround(static_cast<double>(absH) / absW * newW));
    if (u < std::llabs(newH)) {
      newH = newH < 0 ? -u : u;
    } else {
      newW = newW < 0 ? -t : t;
    }
  }
  // A flat selection could never grow again: keep one unit, on the side it is on now.
  if (newW == 0) newW = w < 0 ? -1 : 1;
  if (newH == 0) newH = h < 0 ? -1 : 1;

  BeginSelectionUpdate(true);
  try {
    const bool mirrorX = (newW < 0) != (w < 0);
    const bool mirrorY = (newH < 0) != (h < 0);
    const TRect base = Normalized(transformRect_);
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
    const bool flippedX = transformRect_.left > transformRect_.right;
    const bool flippedY = transformRect_.top > transformRect_.bottom;
    const TAxisResize ax = ResizedAxis(base.left, base.right, newW, MovesLeft(handle));
    const TAxisResize ay = ResizedAxis(base.top, base.bottom, newH, MovesTop(handle));
    const int32_t newLeft = ClampToInt32(ax.low);
    const int32_t newTop = ClampToInt32(ay.low);
    const double fx = absW == 0 ? 1.0 : static_cast<double>(std::llabs(newW)) / static_cast<double>(absW);
    const double fy = absH == 0 ? 1.0 : static_cast<double>(std::llabs(newH)) / static_cast<double>(absH);

    // Where a control goes: its saved rectangle relative to the base's left-top, reflected
    // inside the base on a mirrored axis, then scaled and placed at the new left-top.
    const auto target = [&](const TVexaControl& c) {
      const TRect saved = c.SavedRect();
      const TPoint origin = c.SavedOrigin();
      int64_t l = static_cast<int64_t>(saved.left) + origin.x - base.left;
      int64_t r = static_cast<int64_t>(saved.right) + origin.x - base.left;
      int64_t t = static_cast<int64_t>(saved.top) + origin.y - base.top;
      int64_t b = static_cast<int64_t>(saved.bottom) + origin.y - base.top;
      if (flippedX) {
        const int64_t nl = absW - r;
        r = absW - l;
        l = nl;
      }
      if (flippedY) {
        const int64_t nt = absH - b;
        b = absH - t;
        t = nt;
      }
      TRect out{ClampToInt32(RoundScaled(fx, l) + static_cast<int64_t>(newLeft)),
                ClampToInt32(RoundScaled(fy, t) + static_cast<int64_t>(newTop)),
                ClampToInt32(RoundScaled(fx, r) + static_cast<int64_t>(newLeft)),
                ClampToInt32(RoundScaled(fy, b) + static_cast<int64_t>(newTop))};
      // A control with an extent keeps one unit of it.
      if (out.right == out.left && r != l) out.right = out.left + 1;
      if (out.bottom == out.top && b != t) out.bottom = out.top + 1;
      const TRect now = c.GetDocRect();
      if (AncestorLocks(c, "Left")) out.left = now.left, out.right = now.right;
      if (AncestorLocks(c, "Top")) out.top = now.top, out.bottom = now.bottom;
      return out;
    };
    // Members are placed before the groups that hold them, each less what its groups will
    // still carry it by: a group's undo step then comes after its members' steps, and undo
    // puts the group back first, with the members where they were inside it.
    struct TPlacement {
      TVexaControl* control;
      TRect rect;
      TPoint carried;
    };
    std::vector<TPlacement> subtree;
    std::unordered_map<const TVexaControl*, TPoint> carries;
    for (TVexaControl* selected : std::vector<TVexaControl*>(selection_)) {
      subtree.clear();
      carries.clear();
      TPassControlRec pass;
      for (TVexaControl* c = pass.PassFirst(selected); c; c = pass.PassNext()) {
        TPoint carried{0, 0};
        if (c != selected) {
          const auto found = carries.find(c->GetParent());
          if (found != carries.end()) carried = found->second;
        }
        const bool fixed = OnReadOnlyLayer(*c);
        if (!fixed && (mirrorX || mirrorY)) c->Mirror(mirrorX, mirrorY);
        const TRect now = c->GetDocRect();
        const TRect rect = fixed ? now : target(*c);
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
  } catch (...) {
    EndSelectionUpdate(true);
    throw;
  }
  EndSelectionUpdate(true);
}

}  // namespace pv::graphics
