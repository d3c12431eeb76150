#include "actions/PanelGroups.h"

#include "actions/CreateDestroyGroups.h"
#include "actions/GeometryActions.h"
#include "actions/GroupActions.h"
#include "actions/OrderHistoryAction.h"
#include "history/History.h"
#include "props/PropHistory.h"
#include "props/PropRefList.h"
#include "textformat/DocModel.h"

namespace pv::graphics {

const THistoryActionClass TVexaPanelHistoryGroup::ClassInfo{"TVexaPanelHistoryGroup", &THistoryGroup::ClassInfo,
                                                            nullptr, nullptr};

void TVexaPanelHistoryGroup::UndoAction(TVexaObject* source) { ReplayHoldingReferences(source, true); }

void TVexaPanelHistoryGroup::RedoAction(TVexaObject* source) { ReplayHoldingReferences(source, false); }

void TVexaPanelHistoryGroup::ReplayHoldingReferences(TVexaObject* source, bool undo) {
  const auto replay = [&] {
    if (undo) {
      THistoryGroup::UndoAction(source);
    } else {
      THistoryGroup::RedoAction(source);
    }
  };
  auto* panel = dynamic_cast<IDocPanel*>(History().Owner());
  if (!panel) {
    replay();
    return;
  }
  TPropRefList& refs = panel->RefList();
  refs.Hold();
  try {
    if (undo) SaveCreatedAhead();
    replay();
  } catch (...) {
    ForgetCreatedAhead();
    refs.EndHold(false);
    throw;
  }
  ForgetCreatedAhead();
  refs.EndHold(true);
}

// Undo frees the controls the step made from the last to the first: each is kept before any
// goes, so that a link from an earlier one to a later one is kept for the redo.
void TVexaPanelHistoryGroup::SaveCreatedAhead() {
  for (int i = 0; i < Count(); ++i) {
    auto* created = dynamic_cast<TControlCreateHistoryGroup*>(Child(i));
    if (!created) continue;
    bool found = false;
    if (auto* control = dynamic_cast<IDocControl*>(History().GetActionSource(*created, found))) {
      created->SaveAhead(*control);
    }
  }
}

void TVexaPanelHistoryGroup::ForgetCreatedAhead() {
  for (int i = 0; i < Count(); ++i) {
    if (auto* created = dynamic_cast<TControlCreateHistoryGroup*>(Child(i))) created->ForgetSavedAhead();
  }
}

template <TPanelCommand Command>
static constexpr THistoryActionClass PanelGroupClass(const char* name) {
  return {name, &TVexaPanelHistoryGroup::ClassInfo, &CreateHistoryAction<TPanelCommandHistoryGroup<Command>>,
          nullptr};
}

template <>
const THistoryActionClass TPanelSizeMoveHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::SizeMove>("TPanelSizeMoveHistoryGroup");
template <>
const THistoryActionClass TPanelAlignHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Align>("TPanelAlignHistoryGroup");
template <>
const THistoryActionClass TPanelCreateControlsHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::CreateControls>("TPanelCreateControlsHistoryGroup");
template <>
const THistoryActionClass TPanelDestroyControlsHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::DestroyControls>("TPanelDestroyControlsHistoryGroup");
template <>
const THistoryActionClass TPanelUngroupControlsHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::UngroupControls>("TPanelUngroupControlsHistoryGroup");
template <>
const THistoryActionClass TPanelDuplicateHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Duplicate>("TPanelDuplicateHistoryGroup");
template <>
const THistoryActionClass TPanelCloneHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Clone>("TPanelCloneHistoryGroup");
template <>
const THistoryActionClass TPanelOrderHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Order>("TPanelOrderHistoryGroup");
template <>
const THistoryActionClass TPanelPointsHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Points>("TPanelPointsHistoryGroup");
template <>
const THistoryActionClass TPanelRerouteHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Reroute>("TPanelRerouteHistoryGroup");
template <>
const THistoryActionClass TPanelColorHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Color>("TPanelColorHistoryGroup");
template <>
const THistoryActionClass TPanelPropsHistoryGroup::ClassInfo =
    PanelGroupClass<TPanelCommand::Props>("TPanelPropsHistoryGroup");

void RegisterControlHistoryActions() {
  RegisterPropHistoryActions();
  for (const THistoryActionClass* cls :
       {&TDocRectHistoryAction::ClassInfo, &TOrderHistoryAction::ClassInfo, &TPointsHistoryAction::ClassInfo,
        &TControlCreateHistoryGroup::ClassInfo, &TControlDestroyHistoryGroup::ClassInfo,
        &TControlGroupHistoryAction::ClassInfo, &TControlUngroupHistoryAction::ClassInfo,
        &TPanelSizeMoveHistoryGroup::ClassInfo, &TPanelAlignHistoryGroup::ClassInfo,
        &TPanelCreateControlsHistoryGroup::ClassInfo, &TPanelDestroyControlsHistoryGroup::ClassInfo,
        &TPanelUngroupControlsHistoryGroup::ClassInfo, &TPanelDuplicateHistoryGroup::ClassInfo,
        &TPanelCloneHistoryGroup::ClassInfo, &TPanelOrderHistoryGroup::ClassInfo,
        &TPanelPointsHistoryGroup::ClassInfo, &TPanelRerouteHistoryGroup::ClassInfo,
        &TPanelColorHistoryGroup::ClassInfo, &TPanelPropsHistoryGroup::ClassInfo}) {
    RegisterHistoryActionClass(*cls);
  }
}

}  // namespace pv::graphics
