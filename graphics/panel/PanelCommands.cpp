// The commands on the selection as a unit (delete, move, rotate) and zooming to a point. Each
// change of the document runs inside one selection update whose history group makes it one
// undo step.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "actions/PanelGroups.h"
#include "document/Schemes.h"
#include "document/ServiceControls.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using winmath::ClampToInt32;

namespace {

// Ends the selection update (and its history group) however the command leaves.
class TCommandUpdate {
 public:
  TCommandUpdate(TVexaPanel& panel, bool notifyControls, const THistoryActionClass* groupClass)
      : panel_(panel), notify_(notifyControls), group_(groupClass) {
    panel_.BeginSelectionUpdate(notify_, group_);
  }
  ~TCommandUpdate() { panel_.EndSelectionUpdate(notify_, group_); }
  TCommandUpdate(const TCommandUpdate&) = delete;
  TCommandUpdate& operator=(const TCommandUpdate&) = delete;

 private:
  TVexaPanel& panel_;
  const bool notify_;
  const THistoryActionClass* group_;
};

// The tool modes that drag the selection: their own gesture already holds the history group.
bool IsDragMode(int mode) { return mode == 5 || mode == 7 || mode == 8; }

// A left (or top) edge moved by delta, stopped where the far edge would leave the 32-bit range.
int32_t MovedEdge(int32_t edge, int32_t delta, int32_t extent) {
  const int64_t moved = static_cast<int64_t>(edge) + delta;
  const int64_t highest = static_cast<int64_t>(INT32_MAX) - std::max<int32_t>(extent, 0);
  return static_cast<int32_t>(std::clamp<int64_t>(moved, INT32_MIN, highest));
}

}  // namespace

void TVexaPanel::DeleteSelected() {
  if (selection_.empty()) return;
  TCommandUpdate update(*this, false, &TPanelDestroyControlsHistoryGroup::ClassInfo);
  // Freeing one control may take others with it (a group's members never are selected, but
  // a host's handler may free what it likes): only what is still selected is freed.
  const std::vector<TVexaControl*> doomed(selection_);
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    if (IsSelected(*it)) (*it)->Free();
  }
}

void TVexaPanel::MoveSelection(int32_t dx, int32_t dy) {
  if ((dx == 0 && dy == 0) || selection_.empty()) return;
  const THistoryActionClass* group = &TPanelSizeMoveHistoryGroup::ClassInfo;
  if (IsDragMode(toolMode_) && history_->State() == THistoryState::Recording) group = nullptr;
  TCommandUpdate update(*this, true, group);
  for (TVexaControl* c : std::vector<TVexaControl*>(selection_)) {
    if (!dynamic_cast<TVexaScheme*>(c->GetParent())) continue;
    TControlUpdate controlUpdate(*c);
    c->SetLeft(MovedEdge(c->GetLeft(), dx, c->GetWidth()));
    c->SetTop(MovedEdge(c->GetTop(), dy, c->GetHeight()));
  }
}

int32_t TVexaPanel::QuarterTurnAngle(int32_t angle) {
  const int32_t turn = angle % 360;
  int32_t quarters = turn / 90;
  const int32_t rest = turn % 90;
  const int32_t away = turn < 0 ? -1 : 1;
  if (std::abs(rest) > 45 || (std::abs(rest) == 45 && quarters % 2 != 0)) quarters += away;
  // A whole turn is no turn.
  return quarters * 90 % 360;
}

void TVexaPanel::RotateSelection(const TRotateRec& rotation) {
  if (selection_.empty()) return;
  TRotateRec rec = rotation;
  rec.angle = QuarterTurnAngle(rotation.angle);
  // Nothing turns and nothing mirrors: no step worth undoing.
  if (rec.angle == 0 && !rec.mirror) return;
  TCommandUpdate update(*this, true, &TPanelSizeMoveHistoryGroup::ClassInfo);
  for (TVexaControl* c : std::vector<TVexaControl*>(selection_)) {
    const auto* layer = dynamic_cast<const TVexaLayer*>(c->GetLayer());
    if (layer && layer->GetReadOnly()) continue;
    c->RotateAll(rec);
  }
}

void TVexaPanel::SetScaleAndCenter(int32_t scale, std::optional<TRect> docRect) {
  const TRect client = window_.ClientRect();
  const TPoint centre = docRect ? TPoint{ClampToInt32((static_cast<int64_t>(docRect->left) + docRect->right) / 2),
                                         ClampToInt32((static_cast<int64_t>(docRect->top) + docRect->bottom) / 2)}
                                : PixelToDocPoint({RectWidth(client) / 2, RectHeight(client) / 2});
  SetScale(scale);
  const auto position = [&](int32_t extra, int32_t docCoord, int32_t clientSize) {
    return ClampToInt32(static_cast<int64_t>(extra) + static_cast<int64_t>(docCoord) * scale_ / 100000 -
                        clientSize / 2);
  };
  window_.SetScrollPos(panelwindow::TScrollBarKind::Horizontal, position(horzExtraSpace_, centre.x, RectWidth(client)));
  window_.SetScrollPos(panelwindow::TScrollBarKind::Vertical, position(vertExtraSpace_, centre.y, RectHeight(client)));
  UpdateOrigin();
  UpdateSelectionFrames();
  Repaint();
}

}  // namespace pv::graphics
