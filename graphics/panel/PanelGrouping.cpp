// Grouping the selection into a new group, and dissolving selected groups.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "actions/GeometryActions.h"
#include "actions/GroupActions.h"
#include "actions/PanelGroups.h"
#include "controls/LinkProps.h"
#include "document/Group.h"
#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"

namespace pv::graphics {

namespace {

// A control changes parent (and layer) and keeps its place on the page. A linked connector
// refuses to be placed and routes instead, but not while undo or redo make a group again: it
// then keeps the route it has, put back where it stood.
void MoveKeepingPlace(TVexaControl& control, TVexaControl& parent, TVexaControl* layer) {
  const TRect r = control.GetDocRect();
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  control.GetPointsEx(points, types);
  parent.AddChild(&control);
  control.SetLayerControl(layer);
  control.SetDocRect(r);
  if (control.GetDocRect() != r && control.HasPoints()) control.RestorePoints(r, points, types);
}

// Grouping and ungrouping move nothing on the page, but a group fitting itself to each member
// coming in or going out shifts them and itself one after the other, and a connector linked
// into them routes on the way; a group holding such a connector fits itself to its new route.
// What each control stood at before is recorded with the step, so that undo puts it back.
class TGeometryBefore {
 public:
  explicit TGeometryBefore(TVexaPanel& panel) : panel_(panel) {
    ForEachControl([&](TVexaControl& c) {
      TKept kept{c.GetDocRect(), {}, {}};
      c.GetPointsEx(kept.points, kept.types);
      kept_.emplace(c.GetId(), std::move(kept));
    });
  }

  bool AnyChanged() const {
    bool changed = false;
    ForEachControl([&](TVexaControl& c) { changed = changed || Changed(c); });
    return changed;
  }

  // Steps that undo to the geometry before: each control that changed, and each child of a
  // group that changed, whose rectangle coming back carries its children along. Children come
  // before their parents, so that undo puts a group back before the children inside it.
  void Record(THistory& history) {
    ForEachControl([&](TVexaControl& c) {
      const TVexaControl* parent = c.GetParent();
      const auto kept = kept_.find(c.GetId());
      if (kept == kept_.end() || !(Changed(c) || (parent && Changed(*parent)))) return;
      if (auto* step = dynamic_cast<TPointsHistoryAction*>(history.RecordStep(TPointsHistoryAction::ClassInfo, &c))) {
        step->SetRecorded(kept->second.rect, kept->second.points, kept->second.types);
      }
    });
  }

 private:
  struct TKept {
    TRect rect;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
  };

  // Every control inside the schemes, children before their parent.
  template <typename F>
  void ForEachControl(F&& f) const {
    const auto walk = [&](auto& self, TVexaControl& parent) -> void {
      for (int i = 0; i < parent.GetCount(); ++i) {
        TVexaControl* c = parent.GetChild(i);
        self(self, *c);
        f(*c);
      }
    };
    for (int i = 0; i < panel_.Schemes().GetCount(); ++i) walk(walk, *panel_.Schemes().GetChild(i));
  }

  // A control made since (the new group) has nothing to compare with.
  bool Changed(const TVexaControl& c) const {
    const auto kept = kept_.find(c.GetId());
    if (kept == kept_.end()) return false;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    c.GetPointsEx(points, types);
    return c.GetDocRect() != kept->second.rect || points != kept->second.points || types != kept->second.types;
  }

  TVexaPanel& panel_;
  std::unordered_map<int32_t, TKept> kept_;
};

// Links to a group that goes are let go first, as steps of their own ahead of the ungroup:
// undo makes the group again before it links them back to it. A connector's ends and a
// clone's source alike: every link property that names the group.
void ReleaseLinksTo(TVexaPanel& panel, TVexaControl& group) {
  const auto release = [&](TLinkProp* link) {
    if (link && link->LinkedControl() == &group) link->SetLinkedControl(nullptr);
  };
  const auto walk = [&](auto& self, TVexaControl& parent) -> void {
    for (int i = 0; i < parent.GetCount(); ++i) {
      TVexaControl* c = parent.GetChild(i);
      TLinkProp* ends[2] = {nullptr, nullptr};
      c->GetLinkProps(ends[0], ends[1]);
      for (TLinkProp* end : ends) release(end);
      for (int p = 0; p < c->Props().Count(); ++p) release(dynamic_cast<TLinkProp*>(c->Props().PropByIndex(p)));
      self(self, *c);
    }
  };
  for (int i = 0; i < panel.Schemes().GetCount(); ++i) walk(walk, *panel.Schemes().GetChild(i));
}

}  // namespace

IDocControl* TVexaPanel::GroupSelection(std::string_view groupClass) {
  // Undo and redo group again exactly the members a step recorded: a group read from a
  // document may hold connectors.
  const bool replaying = history_->Replaying();
  const auto joins = [replaying](const TVexaControl* c) { return replaying || !c->IsConnector(); };
  // Connectors after the first selected control do not count and stay outside.
  std::vector<TVexaControl*> members;
  for (size_t i = 0; i < selection_.size(); ++i) {
    TVexaControl* c = selection_[i];
    if (i > 0 && !joins(c)) continue;
    members.push_back(c);
  }
  // Otherwise no connector goes into the group, the first one selected neither: the group
  // needs two other controls, or it would hold one control and redo could not make it again.
  if (std::count_if(members.begin(), members.end(), joins) < 2) return nullptr;
  TVexaControl* parent = members.front()->GetParent();
  TVexaControl* layer = members.front()->GetLayer();
  auto* layerControl = dynamic_cast<TVexaLayer*>(layer);
  if (!parent || !layerControl || layerControl->GetReadOnly()) return nullptr;
  for (TVexaControl* c : members) {
    if (c->GetParent() != parent || c->GetLayer() != layer) return nullptr;
  }
  const TVexaControlClass* cls = FindControlClass(groupClass.empty() ? std::string_view("TVexaGroup") : groupClass);
  if (!cls || !cls->create) return nullptr;

  std::vector<std::pair<int32_t, int>> places;
  for (int i = 0; i < parent->GetCount(); ++i) {
    TVexaControl* c = parent->GetChild(i);
    if (IsSelected(c) && joins(c)) places.emplace_back(c->GetId(), i);
  }
  TVexaControl* group = nullptr;
  TGeometryBefore geometry(*this);
  history_->DisableRecording();
  try {
    // Children in their order in the parent, so that grouping keeps the z-order.
    std::vector<TVexaControl*> children;
    int highest = 0;
    TRect bounds = members.front()->GetDocRect();
    for (int i = 0; i < parent->GetCount(); ++i) {
      TVexaControl* c = parent->GetChild(i);
      if (!IsSelected(c) || !joins(c)) continue;
      children.push_back(c);
      highest = i;
      bounds = UnionRect(bounds, c->GetDocRect());
    }
    group = cls->create(this, parent, layer);
    group->SetDocRect(bounds);
    group->SetLayerControl(layer);
    parent->MoveChild(parent->IndexOf(group), highest);
    BeginSelectionUpdate(false);
    UnselectAll();
    for (TVexaControl* c : children) MoveKeepingPlace(*c, *group, layer);
    group->SetVisible(true);
    SelectOne(group);
    EndSelectionUpdate(false);
  } catch (...) {
    history_->EnableRecording();
    throw;
  }
  history_->EnableRecording();
  std::optional<THistoryRecording> rerouted;
  if (history_->CanRecord() && geometry.AnyChanged()) {
    if (!history_->OpenGroup()) rerouted.emplace(*history_, TPanelRerouteHistoryGroup::ClassInfo, group);
    geometry.Record(*history_);
  }
  THistoryRecording recording(*history_, TControlGroupHistoryAction::ClassInfo, group);
  if (auto* action = dynamic_cast<TControlGroupHistoryAction*>(recording.Action())) action->SetMemberPlaces(std::move(places));
  recording.End();
  if (rerouted) rerouted->End();
  return group;
}

IDocControl* TVexaPanel::RegroupControls(std::string_view groupClass, IDocControl& parentControl,
                                         IDocControl* layerControl, const std::vector<IDocControl*>& members,
                                         const TRect& rect) {
  const TVexaControlClass* cls = FindControlClass(groupClass);
  if (!cls || !cls->create) return nullptr;
  TVexaControl* parent = AsVexa(&parentControl);
  TVexaControl* layer = AsVexa(layerControl);
  TRecordingOff off(*history_);
  // The rectangle first, while the group is empty: the members then keep their places on the
  // page inside the rectangle the group had, whether it fitted them or not.
  TVexaControl* group = cls->create(this, parent, layer);
  group->SetDocRect(rect);
  group->SetLayerControl(layer);
  BeginSelectionUpdate(false);
  try {
    UnselectAll();
    for (IDocControl* member : members) MoveKeepingPlace(*AsVexa(member), *group, layer);
    group->SetVisible(true);
    SelectOne(group);
  } catch (...) {
    EndSelectionUpdate(false);
    throw;
  }
  EndSelectionUpdate(false);
  return group;
}

void TVexaPanel::UngroupSelection() {
  std::vector<TVexaControl*> groups;
  for (TVexaControl* c : selection_) {
    if (c->IsGroup()) groups.push_back(c);
  }
  BeginSelectionUpdate(false, &TPanelUngroupControlsHistoryGroup::ClassInfo);
  try {
    for (TVexaControl* group : groups) {
      ReleaseLinksTo(*this, *group);
      {
        THistoryRecording recording(*history_, TControlUngroupHistoryAction::ClassInfo, group);
        recording.End();
      }
      TVexaControl* parent = group->GetParent();
      TVexaControl* layer = group->GetLayer();
      if (!parent || !layer || parent->IndexOf(group) < 0) continue;
      TGeometryBefore geometry(*this);
      history_->DisableRecording();
      try {
        Unselect(group);
        // Last first, each put at the group's place ahead of those already out: the
        // children keep their order.
        const int place = parent->IndexOf(group);
        while (group->GetCount() > 0) {
          TVexaControl* child = group->GetChild(group->GetCount() - 1);
          MoveKeepingPlace(*child, *parent, layer);
          parent->MoveChild(parent->IndexOf(child), place);
          SelectOne(child);
        }
        group->Free();
      } catch (...) {
        history_->EnableRecording();
        throw;
      }
      history_->EnableRecording();
      if (history_->CanRecord()) geometry.Record(*history_);
    }
  } catch (...) {
    EndSelectionUpdate(false, &TPanelUngroupControlsHistoryGroup::ClassInfo);
    throw;
  }
  EndSelectionUpdate(false, &TPanelUngroupControlsHistoryGroup::ClassInfo);
}

}  // namespace pv::graphics
