// The document's controls as the panel keeps them: IDs and the ID-to-control map, the
// parentless list, finding by ID, creating by class name, and the loading brackets.

#include <algorithm>

#include "actions/CreateDestroyGroups.h"
#include "document/Grid.h"
#include "document/Schemes.h"
#include "history/History.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"

namespace pv::graphics {

namespace {

bool IsServiceTop(const TVexaControl& control) {
  return control.InheritsFrom(TVexaSchemes::ClassInfo) || control.InheritsFrom(TVexaLayers::ClassInfo) ||
         control.InheritsFrom(TVexaGrid::ClassInfo);
}

bool HasReadOnlyId(TVexaControl& control) {
  const TCustomProp* id = control.Props().PropByName("ID");
  return id && id->HasFlag(pfReadOnly);
}

}  // namespace

TVexaControl* TVexaPanel::GetLayersRoot() const { return layers_; }
TVexaControl* TVexaPanel::GetSchemesRoot() const { return schemes_; }
TVexaControl* TVexaPanel::GetGrid() const { return grid_; }
IDocControl* TVexaPanel::LayersRoot() const { return layers_; }
IDocControl* TVexaPanel::SchemesRoot() const { return schemes_; }

// ---- IDs

uint32_t TVexaPanel::AssignControlId(TVexaControl& control, uint32_t wanted) {
  const auto id = static_cast<int32_t>(wanted);
  const int32_t assigned = id > 0 && ids_.Use(id) ? id : ids_.Generate();
  if (assigned > 0) byId_[static_cast<uint32_t>(assigned)] = &control;
  return static_cast<uint32_t>(assigned);
}

void TVexaPanel::ReleaseControlId(TVexaControl& control, uint32_t id) {
  const auto found = byId_.find(id);
  if (found == byId_.end() || found->second != &control) return;
  byId_.erase(found);
  ids_.Release(static_cast<int32_t>(id));
}

uint32_t TVexaPanel::CheckControlId(TVexaControl& control, uint32_t oldId, uint32_t newId) {
  const auto held = byId_.find(newId);
  if (held != byId_.end() && held->second == &control) return newId;
  ReleaseControlId(control, oldId);
  // 0 means "no ID" and is accepted as it is; loading gives such controls one at its end.
  if (newId == 0) return 0;
  const uint32_t assigned = AssignControlId(control, newId);
  // Links inside the loaded data that named the refused ID follow the control to its new one.
  if (assigned != newId) control.Props().AddIdMapping(static_cast<int32_t>(newId), static_cast<int32_t>(assigned));
  return assigned;
}

void TVexaPanel::SetControlId(IDocControl& control, int32_t id) {
  static_cast<TVexaControl&>(control).SetID(static_cast<uint32_t>(id));
}

TVexaControl* TVexaPanel::FindControlByID(int32_t id, TVexaControl* scope) const {
  if (id <= 0 || !ids_.Used(id)) return nullptr;
  const auto found = byId_.find(static_cast<uint32_t>(id));
  if (found == byId_.end()) return nullptr;
  TVexaControl* control = found->second;
  if (scope && control != scope && !scope->IsAncestorOf(control)) return nullptr;
  return control;
}

// ---- Parentless controls

int TVexaPanel::AddParentlessControl(TVexaControl* control) {
  if (!control || IsServiceTop(*control)) return -1;
  if (std::find(parentless_.begin(), parentless_.end(), control) != parentless_.end()) return -1;
  parentless_.push_back(control);
  return static_cast<int>(parentless_.size()) - 1;
}

bool TVexaPanel::RemoveParentlessControl(TVexaControl* control) {
  const auto found = std::find(parentless_.begin(), parentless_.end(), control);
  if (found == parentless_.end()) return false;
  parentless_.erase(found);
  return true;
}

std::vector<TVexaControl*> TVexaPanel::TopControls() const {
  std::vector<TVexaControl*> tops{layers_, schemes_, grid_};
  std::erase(tops, nullptr);
  tops.insert(tops.end(), parentless_.begin(), parentless_.end());
  return tops;
}

int TVexaPanel::CountControls(TVexaControl* root) const {
  int count = 0;
  TPassControlRec pass;
  for (TVexaControl* c = pass.PassFirst(root); c; c = pass.PassNext()) ++count;
  return count;
}

// ---- Classes and roots

bool TVexaPanel::HasControlClasses() const { return ControlClassCount() > 0; }

IDocControl* TVexaPanel::CreateControl(std::string_view className, IDocControl* parent) {
  const TVexaControlClass* cls = FindControlClass(className);
  if (!cls || !cls->create) return nullptr;
  return cls->create(this, static_cast<TVexaControl*>(parent), nullptr);
}

void TVexaPanel::FreeControl(IDocControl* control) { static_cast<TVexaControl*>(control)->Free(); }

IDocControl* TVexaPanel::FindLayer(int32_t id) const {
  TVexaControl* control = FindControlByID(id, layers_);
  return control && control->GetParent() == layers_ ? control : nullptr;
}

bool TVexaPanel::IsLayer(const IDocControl& c) const {
  return static_cast<const TVexaControl&>(c).InheritsFrom(TVexaLayer::ClassInfo);
}

bool TVexaPanel::IsScheme(const IDocControl& c) const { return static_cast<const TVexaControl&>(c).IsCustomScheme(); }

bool TVexaPanel::IsGroup(const IDocControl& c) const { return static_cast<const TVexaControl&>(c).IsGroup(); }

void TVexaPanel::ControlCreatedByLoad(IDocControl& control) {
  // Recording is off for document loads, for undo states and for the children of a control
  // being read: only the top controls of a paste become undo steps.
  THistoryRecording recording(History(), TControlCreateHistoryGroup::ClassInfo, &static_cast<TVexaControl&>(control));
  recording.End();
}

// ---- Loading

int TVexaPanel::EndLoading() {
  if (loading_ == 0) return 0;
  if (loading_ == 1) {
    const std::vector<TVexaControl*> loaded = TakeLoadedControls();
    GiveFreshIds(loaded);
    for (TVexaControl* control : loaded) control->LoadEnding();
  }
  return --loading_;
}

std::vector<TVexaControl*> TVexaPanel::TakeLoadedControls() {
  std::vector<TVexaControl*> loaded;
  for (TVexaControl* c : loadedOrder_) {
    if (loadedControls_.count(c)) loaded.push_back(c);
  }
  loadedOrder_.clear();
  loadedControls_.clear();
  return loaded;
}

void TVexaPanel::GiveFreshIds(const std::vector<TVexaControl*>& loaded) {
  // In creation order, so that the IDs given do not depend on addresses.
  std::vector<TVexaControl*> pending;
  for (TVexaControl* c : loaded) {
    if (c->GetID() == 0 && !HasReadOnlyId(*c)) pending.push_back(c);
  }
  if (pending.empty()) return;
  history_->DisableRecording();
  try {
    for (TVexaControl* control : pending) {
      if (control->GetID() == 0) control->SetID(AssignControlId(*control, 0));
    }
  } catch (...) {
    history_->EnableRecording();
    throw;
  }
  history_->EnableRecording();
}

}  // namespace pv::graphics
