#include "actions/GroupActions.h"

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
  SourceId = group->GetId();
  members_.clear();
  for (int i = 0; i < group->ChildCount(); ++i) members_.push_back(group->Child(i)->GetId());
}

void TGroupUngroupHistoryAction::Regroup() {
  if (!panel_) return;
  panel_->UnselectAll();
  for (int32_t id : members_) {
    if (IDocControl* member = panel_->FindControl(id)) panel_->Select(*member);
  }
  IDocControl* group = panel_->GroupSelection(groupClass_);
  if (!group) return;
  // The remembered ID goes through the panel's ID check: another control may hold it now.
  panel_->SetControlId(*group, SourceId);
  SourceId = group->GetId();
}

void TGroupUngroupHistoryAction::Reungroup() {
  if (!panel_) return;
  IDocControl* group = panel_->FindControl(SourceId);
  if (!group) return;
  panel_->UnselectAll();
  panel_->Select(*group);
  panel_->UngroupSelection();
}

}  // namespace pv::graphics
