// The selection: which controls are selected, in selection order, and the update bracket
// that gathers the consequences of many selection changes into one.

#include <algorithm>
#include <unordered_set>

#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"

namespace pv::graphics {

namespace {

// The tool modes of a gesture on the selection; losing a selected control ends them.
bool IsSelectionGestureMode(int mode) { return (mode >= 4 && mode <= 9) || mode == 11; }

}  // namespace

bool TVexaPanel::IsSelected(const TVexaControl* control) const {
  return control && selected_.count(control) > 0;
}

bool TVexaPanel::SelectOne(TVexaControl* control) {
  if (!control || IsSelected(control) || !control->IsSelectable()) return false;
  const TVexaControl* parent = control->GetParent();
  if (!parent || parent->GetParent() != schemes_ || !parent->IsCustomScheme()) return false;
  selection_.push_back(control);
  selected_.insert(control);
  if (pointEdited_ && !(selection_.size() == 1 && selection_.front() == pointEdited_)) pointEdited_ = nullptr;
  control->Notify(TVexaNotify::fnSelect);
  return true;
}

bool TVexaPanel::Unselect(TVexaControl* control) {
  if (!IsSelected(control)) return false;
  // From the back: unselecting all goes last first.
  const auto found = std::find(selection_.rbegin(), selection_.rend(), control);
  selection_.erase(std::next(found).base());
  selected_.erase(control);
  if (pointEdited_ && !(selection_.size() == 1 && selection_.front() == pointEdited_)) pointEdited_ = nullptr;
  control->Notify(TVexaNotify::fnSelect);
  if (IsSelectionGestureMode(toolMode_)) SetToolMode(0);
  return true;
}

void TVexaPanel::UnselectAll() {
  if (selection_.empty()) return;
  BeginSelectionUpdate(false);
  while (!selection_.empty()) Unselect(selection_.back());
  EndSelectionUpdate(false);
}

void TVexaPanel::SelectControl(TVexaControl& control, bool select) {
  // A control that leaves the document (destroyed, moved away) leaves the selection quietly:
  // it may be half torn down.
  if (!select) {
    if (pointEdited_ == &control) pointEdited_ = nullptr;
    if (selected_.erase(&control) == 0) return;
    std::erase(selection_, &control);
    // Its handles are still on the screen: the old frame is repainted (the frame is taken
    // from the controls that stay selected, never from this one).
    if (!destroying_) UpdateSelectionFrames();
    return;
  }
  SelectOne(&control);
}

void TVexaPanel::BeginSelectionUpdate(bool notifyControls, const THistoryActionClass* groupClass) {
  if (selectionUpdates_++ == 0) {
    selectionFramesStale_ = false;
    if (notifyControls) {
      for (TVexaControl* c : selection_) c->BeginSelectionUpdate();
    }
    if (groupClass) history_->BeginPanelGroup(*groupClass);
  }
  if (OnBeginSelectionUpdate) OnBeginSelectionUpdate(*this);
}

void TVexaPanel::EndSelectionUpdate(bool notifyControls, const THistoryActionClass* groupClass) {
  if (selectionUpdates_ == 0) return;
  if (--selectionUpdates_ == 0) {
    if (notifyControls) {
      for (TVexaControl* c : std::vector<TVexaControl*>(selection_)) c->EndSelectionUpdate();
    }
    if (selectionFramesStale_) {
      selectionFramesStale_ = false;
      UpdateSelectionFrames();
    }
  }
  if (OnEndSelectionUpdate) OnEndSelectionUpdate(*this);
  if (selectionUpdates_ == 0 && groupClass) history_->EndPanelGroup(groupClass);
}

void TVexaPanel::UnselectMany(const std::vector<TVexaControl*>& controls) {
  if (controls.empty()) return;
  // One pass over the list: unselecting many one by one would search it for each.
  std::unordered_set<const TVexaControl*> leaving;
  for (TVexaControl* c : controls) {
    if (selected_.erase(c) > 0) leaving.insert(c);
  }
  std::erase_if(selection_, [&](const TVexaControl* c) { return leaving.count(c) > 0; });
  if (pointEdited_ && !(selection_.size() == 1 && selection_.front() == pointEdited_)) pointEdited_ = nullptr;
  for (TVexaControl* c : controls) {
    if (leaving.count(c) > 0) c->Notify(TVexaNotify::fnSelect);
  }
  if (IsSelectionGestureMode(toolMode_)) SetToolMode(0);
}

void TVexaPanel::UpdateSelectionFrames() {
  if (selectionUpdates_ > 0) {
    selectionFramesStale_ = true;
    return;
  }
  // The handles are drawn from the selection at paint time; what is stale is their area on
  // the screen, before and after.
  const TRect frame = SelectionDocRect();
  if (frame != selectionFrame_) {
    if (editing_) InvalidateSelectionFrame(selectionFrame_);
    selectionFrame_ = frame;
    if (editing_) InvalidateSelectionFrame(selectionFrame_);
  }
  // One selected control with points is the one whose points are edited.
  TVexaControl* single = selection_.size() == 1 && selection_.front()->HasPoints() ? selection_.front() : nullptr;
  if (single != pointEdited_) {
    if (pointEdited_) pointEdited_->Invalidate();
    SetPointEditControl(single);
  } else {
    RefreshEditPoints();
  }
  if (pointEdited_) pointEdited_->Invalidate();
}

void TVexaPanel::InvalidateSelectionFrame(const TRect& docRect) {
  if (!window_.HasParent() || docRect.right <= docRect.left || docRect.bottom <= docRect.top) return;
  const TRect r = DocToPixelRect(docRect);
  window_.Invalidate({r.left - 8, r.top - 8, r.right + 8, r.bottom + 8});
}

// ---- Active scheme and layer

void TVexaPanel::SetActiveScheme(TVexaControl* scheme) {
  if (scheme == activeScheme_) return;
  UnselectAll();
  activeScheme_ = scheme;
  DocNotify(scheme, TVexaNotify::fnSchemes);
  Repaint();
}

void TVexaPanel::SetActiveLayer(TVexaControl* layer) {
  if (layer == activeLayer_) return;
  activeLayer_ = layer;
  DocNotify(layer, TVexaNotify::fnLayers);
}

}  // namespace pv::graphics
