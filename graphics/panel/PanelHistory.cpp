#include "panel/PanelHistory.h"

#include <cstdint>

#include "actions/CreateDestroyGroups.h"
#include "actions/GeometryActions.h"
#include "actions/GroupActions.h"
#include "actions/IdHistoryAction.h"
#include "actions/OrderHistoryAction.h"
#include "actions/PanelGroups.h"
#include "document/Schemes.h"
#include "panel/VexaPanel.h"
#include "props/PropHistory.h"

namespace pv::graphics {

namespace {

// Actions that find their source again by the control's ID (and a property's name).
bool IsIdBound(const THistoryActionClass& cls) {
  return InheritsFrom(cls, TIdHistoryAction::ClassInfo) || InheritsFrom(cls, TPropHistoryAction::ClassInfo);
}

bool IsGeometryProp(std::string_view name) {
  return name == "Left" || name == "Top" || name == "Width" || name == "Height";
}

// The panel's undo and redo keep the selection frames for one update at the end.
class TSelectionUpdate {
 public:
  explicit TSelectionUpdate(TVexaPanel& panel) : panel_(panel) { panel_.BeginSelectionUpdate(false); }
  ~TSelectionUpdate() { panel_.EndSelectionUpdate(false); }
  TSelectionUpdate(const TSelectionUpdate&) = delete;
  TSelectionUpdate& operator=(const TSelectionUpdate&) = delete;

 private:
  TVexaPanel& panel_;
};

}  // namespace

TVexaPanelHistory::TVexaPanelHistory(TVexaPanel& panel) : THistory(&panel), panel_(panel) {}

TVexaControl* TVexaPanelHistory::ControlOf(TVexaObject* object) {
  if (auto* prop = dynamic_cast<TCustomProp*>(object)) {
    return prop->OwnerList() ? dynamic_cast<TVexaControl*>(prop->OwnerList()->Control()) : nullptr;
  }
  return dynamic_cast<TVexaControl*>(object);
}

std::string TVexaPanelHistory::ControlCaption(const TVexaControl& control) {
  const std::string name = control.GetName();
  if (!name.empty()) return name;
  return std::string("<") + control.ClassName() + ">";
}

THistoryAction* TVexaPanelHistory::BeginPanelGroup(const THistoryActionClass& groupClass) {
  if (RecordingDisabled()) return nullptr;
  return BeginAction(groupClass, &panel_);
}

bool TVexaPanelHistory::EndPanelGroup(const THistoryActionClass* groupClass) {
  if (!groupClass) return false;
  THistoryAction* current = OpenGroup();
  if (!current || &current->ClassType() != groupClass) return false;
  return EndAction();
}

bool TVexaPanelHistory::RecordSelectionCreation() {
  if (panel_.SelectedCount() == 0) return false;
  TVexaControl* scheme = panel_.Selected(0)->GetScheme();
  BeginPanelGroup(TPanelCreateControlsHistoryGroup::ClassInfo);
  try {
    if (scheme) {
      const TSchemePaintOrder order(*scheme, panel_.Layers());
      for (int l = 0; l < order.LayerCount(); ++l) {
        for (TVexaControl* c : order.LayerControls(l)) {
          if (!panel_.IsSelected(c)) continue;
          THistoryRecording recording(*this, TControlCreateHistoryGroup::ClassInfo, c);
          recording.End();
        }
      }
    }
  } catch (...) {
    EndPanelGroup(&TPanelCreateControlsHistoryGroup::ClassInfo);
    throw;
  }
  EndPanelGroup(&TPanelCreateControlsHistoryGroup::ClassInfo);
  return true;
}

bool TVexaPanelHistory::Undo() {
  TSelectionUpdate update(panel_);
  return THistory::Undo();
}

bool TVexaPanelHistory::Redo() {
  TSelectionUpdate update(panel_);
  return THistory::Redo();
}

void TVexaPanelHistory::DoChange() {
  if (panel_.Destroying()) return;
  THistory::DoChange();
}

void TVexaPanelHistory::SetActionSource(THistoryAction& action, TVexaObject* source) {
  if (IsIdBound(action.ClassType())) {
    const TVexaControl* control = ControlOf(source);
    action.SourceId = control ? control->GetId() : 0;
    auto* prop = dynamic_cast<TCustomProp*>(source);
    action.SourceName = prop ? std::string(prop->Name()) : std::string();
  }
  THistory::SetActionSource(action, source);
}

TVexaObject* TVexaPanelHistory::GetActionSource(THistoryAction& action, bool& found) {
  TVexaObject* source = THistory::GetActionSource(action, found);
  if (found) return source;
  const THistoryActionClass& cls = action.ClassType();
  if (&cls == &TPropHistoryGroup::ClassInfo) {
    found = true;
    return nullptr;
  }
  source = nullptr;
  if (IsIdBound(cls)) {
    TVexaControl* control = panel_.FindControlByID(action.SourceId);
    source = control;
    if (control && InheritsFrom(cls, TPropHistoryAction::ClassInfo)) source = control->Props().PropByName(action.SourceName);
  } else if (InheritsFrom(cls, TCreateDestroyHistoryGroup::ClassInfo)) {
    // Found with or without its control: undo of a deletion re-creates it.
    found = true;
    return panel_.FindControlByID(action.SourceId);
  } else if (InheritsFrom(cls, TVexaPanelHistoryGroup::ClassInfo)) {
    source = &panel_;
  }
  found = source != nullptr || InheritsFrom(cls, TGroupUngroupHistoryAction::ClassInfo);
  return source;
}

bool TVexaPanelHistory::IsRecordable(const THistoryActionClass*& cls, TVexaObject*& source, int tag) {
  if (!THistory::IsRecordable(cls, source, tag)) return false;
  if (IsIdBound(*cls)) {
    const TVexaControl* control = ControlOf(source);
    if (control && control->HasState(csCreating | csDestroying)) return false;
  }
  if (InheritsFrom(*cls, TPropHistoryAction::ClassInfo)) {
    if (auto* prop = dynamic_cast<TCustomProp*>(source)) {
      const TVexaControl* control = ControlOf(prop);
      if (control && control->HasState(csLoading)) return false;
      // Inside an update the rectangle is recorded once, as a whole, when the update ends.
      if (control && control->UpdateCount() > 0 && IsGeometryProp(prop->Name())) return false;
    }
  }
  return true;
}

bool TVexaPanelHistory::IsSame(THistoryAction& action, const THistoryActionClass& cls, TVexaObject* source) {
  if (THistory::IsSame(action, cls, source)) return true;
  if (&action.ClassType() != &cls || !IsIdBound(cls)) return false;
  const TVexaControl* control = ControlOf(source);
  if (!control || action.SourceId != control->GetId()) return false;
  auto* prop = dynamic_cast<TCustomProp*>(source);
  return action.SourceName == (prop ? prop->Name() : std::string_view());
}

bool TVexaPanelHistory::SourceIdentity(const THistoryActionClass& cls, TVexaObject* source, std::string& key) const {
  // A host's own rule of sameness can't be keyed.
  if (OnIsSame) return false;
  key.clear();
  if (!IsIdBound(cls)) return true;
  const TVexaControl* control = ControlOf(source);
  if (!control || control->GetId() == 0) return false;
  auto* prop = dynamic_cast<TCustomProp*>(source);
  key.append(std::to_string(reinterpret_cast<uintptr_t>(&cls))).append(1, '\0').append(std::to_string(control->GetId())).append(1, '\0');
  if (prop) key.append(prop->Name());
  return true;
}

void TVexaPanelHistory::GetActionCaption(THistoryAction& action, TVexaObject* source, std::string& caption) {
  THistory::GetActionCaption(action, source, caption);
  if (!caption.empty()) return;
  const THistoryActionClass& cls = action.ClassType();
  const TVexaControl* control = ControlOf(source);
  const auto is = [&](const THistoryActionClass& row) { return InheritsFrom(cls, row); };
  const auto onControl = [&](const char* before, const char* after) {
    if (control && dynamic_cast<TVexaControl*>(source)) caption = before + ControlCaption(*control) + after;
  };
  if (is(TPropHistoryAction::ClassInfo)) {
    auto* prop = dynamic_cast<TCustomProp*>(source);
    if (!prop || !prop->OwnerList()) return;
    const std::string name(prop->Name());
    caption = control ? "Change " + ControlCaption(*control) + "." + name + " property" : "Change " + name + " property";
    return;
  }
  if (is(TPropHistoryGroup::ClassInfo)) {
    caption = "Change control(s) properties";
  } else if (is(TDocRectHistoryAction::ClassInfo)) {
    onControl("Change ", " size/position");
  } else if (is(TOrderHistoryAction::ClassInfo)) {
    onControl("Change ", " order");
  } else if (is(TPointsHistoryAction::ClassInfo)) {
    onControl("Change ", " points");
  } else if (is(TPanelSizeMoveHistoryGroup::ClassInfo)) {
    caption = "Size/move control(s)";
  } else if (is(TPanelAlignHistoryGroup::ClassInfo)) {
    caption = "Align control(s)";
  } else if (is(TPanelCreateControlsHistoryGroup::ClassInfo)) {
    caption = "Create control(s)";
  } else if (is(TPanelDestroyControlsHistoryGroup::ClassInfo)) {
    caption = "Delete control(s)";
  } else if (is(TControlGroupHistoryAction::ClassInfo)) {
    caption = "Group controls";
  } else if (is(TControlUngroupHistoryAction::ClassInfo)) {
    caption = "Ungroup control";
  } else if (is(TPanelUngroupControlsHistoryGroup::ClassInfo)) {
    caption = "Ungroup control(s)";
  } else if (is(TPanelDuplicateHistoryGroup::ClassInfo)) {
    caption = "Duplicate control(s)";
  } else if (is(TPanelCloneHistoryGroup::ClassInfo)) {
    caption = "Clone control(s)";
  } else if (is(TPanelOrderHistoryGroup::ClassInfo)) {
    caption = "Change control(s) order";
  } else if (is(TPanelPointsHistoryGroup::ClassInfo)) {
    caption = "Change control(s) points";
  } else if (is(TPanelRerouteHistoryGroup::ClassInfo)) {
    caption = "Reroute control(s)";
  } else if (is(TPanelColorHistoryGroup::ClassInfo)) {
    caption = "Change control(s) color";
  } else if (is(TPanelPropsHistoryGroup::ClassInfo)) {
    caption = "Change control(s) properties";
  } else if (is(TControlCreateHistoryGroup::ClassInfo)) {
    onControl("Create ", " control");
  } else if (is(TControlDestroyHistoryGroup::ClassInfo)) {
    onControl("Destroy ", " control");
  }
}

}  // namespace pv::graphics
