#include "actions/GroupActions.h"

#include <algorithm>

#include "base/VexaFiler.h"
#include "props/PropList.h"
#include "props/PropRefList.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {

namespace {

bool CanRecordGroup(THistory&, TVexaObject* source, int) {
  const IDocControl* control = AsControl(source);
  return control && control->Panel().IsGroup(*control);
}

}  // namespace

const THistoryActionClass TGroupUngroupHistoryAction::ClassInfo{
    "TGroupUngroupHistoryAction", &TIdHistoryAction::ClassInfo, nullptr, &CanRecordGroup};
const THistoryActionClass TControlGroupHistoryAction::ClassInfo{
    "TControlGroupHistoryAction", &TGroupUngroupHistoryAction::ClassInfo,
    &CreateHistoryAction<TControlGroupHistoryAction>, nullptr};
const THistoryActionClass TControlUngroupHistoryAction::ClassInfo{
    "TControlUngroupHistoryAction", &TGroupUngroupHistoryAction::ClassInfo,
    &CreateHistoryAction<TControlUngroupHistoryAction>, nullptr};

void TGroupUngroupHistoryAction::RecordAction(TVexaObject* source) {
  IDocControl* group = AsControl(source);
  if (!group || State() != THistoryState::Recording) return;
  panel_ = &group->Panel();
  groupClass_ = group->ClassName();
  groupName_ = group->GetName();
  SourceId = group->GetId();
  IDocControl* parent = group->Parent();
  parentId_ = parent ? parent->GetId() : 0;
  index_ = group->IndexInParent();
  IDocControl* groupLayer = group->Layer();
  layerId_ = groupLayer ? groupLayer->GetId() : 0;
  rect_ = group->GetDocRect();
  members_.clear();
  for (int i = 0; i < group->ChildCount(); ++i) members_.push_back(group->Child(i)->GetId());
  layersGrouped_.clear();
  const auto walk = [&](auto& self, const IDocControl& parent) -> void {
    for (int i = 0; i < parent.ChildCount(); ++i) {
      const IDocControl* c = parent.Child(i);
      const IDocControl* layer = c->Layer();
      layersGrouped_.emplace_back(c->GetId(), layer ? layer->GetId() : 0);
      self(self, *c);
    }
  };
  walk(walk, *group);
  layersUngrouped_.clear();
  ungroupedKnown_ = false;
  groupProps_ = std::make_unique<TMemoryStream>();
  TVexaFiler filer(*groupProps_);
  group->Props().SaveToFiler(filer, "");
  filer.Flush();
}

void TGroupUngroupHistoryAction::RestoreGroupProps(IDocControl& group) {
  if (!groupProps_) return;
  groupProps_->Seek(0);
  TVexaFiler filer(*groupProps_);
  TLoadingScope loading(*panel_);
  TPropList& props = group.Props();
  TPropRefList* previous = props.RefList();
  props.SetRefList(&panel_->RefList());
  try {
    std::string line;
    for (;;) {
      const bool ended = filer.ReadLine(line);
      if (!ended && line.empty()) break;
      props.LoadProp(filer, line);
    }
  } catch (...) {
    props.SetRefList(previous);
    throw;
  }
  props.SetRefList(previous);
  loading.Finish();
}

void TGroupUngroupHistoryAction::RestoreMemberPlaces() {
  std::vector<std::pair<int32_t, int>> places = places_;
  // In rising order of index, each member goes back exactly where it stood.
  std::sort(places.begin(), places.end(), [](const auto& x, const auto& y) { return x.second < y.second; });
  for (const auto& [id, index] : places) {
    IDocControl* member = panel_->FindControl(id);
    IDocControl* parent = member ? member->Parent() : nullptr;
    if (!parent) continue;
    const int from = member->IndexInParent();
    const int to = std::clamp(index, 0, parent->ChildCount() - 1);
    if (from != to) parent->MoveChild(from, to);
  }
}

void TGroupUngroupHistoryAction::Regroup() {
  if (!panel_) return;
  if (!ungroupedKnown_) {
    layersUngrouped_ = CurrentLayers();
    ungroupedKnown_ = true;
  }
  std::vector<IDocControl*> members;
  for (int32_t id : members_) {
    if (IDocControl* member = panel_->FindControl(id)) members.push_back(member);
  }
  IDocControl* parent = parentId_ != 0 ? panel_->FindControl(parentId_) : nullptr;
  if (!parent && !members.empty()) parent = members.front()->Parent();
  if (!parent) return;
  IDocControl* layer = layerId_ != 0 ? panel_->FindLayer(layerId_) : nullptr;
  IDocControl* group = panel_->RegroupControls(groupClass_, *parent, layer, members, rect_);
  if (!group) return;
  // The remembered ID goes through the panel's ID check: another control may hold it now.
  panel_->SetControlId(*group, SourceId);
  if (group->GetName() != groupName_) group->SetName(groupName_);
  RestoreGroupProps(*group);
  SourceId = group->GetId();
  RestoreGroupPlace(*group, *parent);
  RestoreLayers(layersGrouped_);
}

void TGroupUngroupHistoryAction::RestoreGroupPlace(IDocControl& group, IDocControl& parent) {
  if (index_ < 0 || group.Parent() != &parent) return;
  const int from = group.IndexInParent();
  const int to = std::clamp(index_, 0, parent.ChildCount() - 1);
  if (from != to) parent.MoveChild(from, to);
}

TGroupUngroupHistoryAction::TLayers TGroupUngroupHistoryAction::CurrentLayers() const {
  TLayers layers;
  for (const auto& [id, grouped] : layersGrouped_) {
    const IDocControl* control = panel_->FindControl(id);
    const IDocControl* layer = control ? control->Layer() : nullptr;
    layers.emplace_back(id, layer ? layer->GetId() : 0);
  }
  return layers;
}

// Each control by itself: while the history replays, a control's layer does not pass on to
// what it holds.
void TGroupUngroupHistoryAction::RestoreLayers(const TLayers& layers) {
  for (const auto& [id, layerId] : layers) {
    IDocControl* control = panel_->FindControl(id);
    IDocControl* layer = layerId ? panel_->FindLayer(layerId) : nullptr;
    if (control && layer && control->Layer() != layer) control->SetLayer(layer);
  }
}

void TGroupUngroupHistoryAction::Reungroup() {
  if (!panel_) return;
  IDocControl* group = panel_->FindControl(SourceId);
  if (!group) return;
  panel_->UnselectAll();
  panel_->Select(*group);
  panel_->UngroupSelection();
  RestoreMemberPlaces();
  if (ungroupedKnown_) RestoreLayers(layersUngrouped_);
}

}  // namespace pv::graphics
