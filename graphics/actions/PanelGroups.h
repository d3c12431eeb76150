#pragma once
// The groups that bundle one panel command into one undo step: one class per command, so
// that each step has its own caption. They leave no step when nothing joined them.

#include "history/HistoryGroup.h"

namespace pv::graphics {

class TVexaPanelHistoryGroup : public THistoryGroup {
 public:
  static const THistoryActionClass ClassInfo;
  TVexaPanelHistoryGroup(THistory& history, THistoryGroup* parent) : THistoryGroup(history, parent) {
    SetDropWhenEmpty(true);
  }
  // The controls that the step brings back are read one after the other; their references
  // are resolved once all of them are back, as when they were first read together.
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;

 private:
  void ReplayHoldingReferences(TVexaObject* source, bool undo);
  void SaveCreatedAhead();
  void ForgetCreatedAhead();
};

enum class TPanelCommand {
  SizeMove, Align, CreateControls, DestroyControls, UngroupControls, Duplicate, Clone, Order, Points, Reroute,
  Color, Props
};

template <TPanelCommand Command>
class TPanelCommandHistoryGroup : public TVexaPanelHistoryGroup {
 public:
  static const THistoryActionClass ClassInfo;
  using TVexaPanelHistoryGroup::TVexaPanelHistoryGroup;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
};

using TPanelSizeMoveHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::SizeMove>;
using TPanelAlignHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Align>;
using TPanelCreateControlsHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::CreateControls>;
using TPanelDestroyControlsHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::DestroyControls>;
using TPanelUngroupControlsHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::UngroupControls>;
using TPanelDuplicateHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Duplicate>;
using TPanelCloneHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Clone>;
using TPanelOrderHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Order>;
using TPanelPointsHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Points>;
using TPanelRerouteHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Reroute>;
using TPanelColorHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Color>;
using TPanelPropsHistoryGroup = TPanelCommandHistoryGroup<TPanelCommand::Props>;

#define PV_PANEL_GROUP_CLASS(command) \
  template <>                         \
  const THistoryActionClass TPanelCommandHistoryGroup<TPanelCommand::command>::ClassInfo;
PV_PANEL_GROUP_CLASS(SizeMove)
PV_PANEL_GROUP_CLASS(Align)
PV_PANEL_GROUP_CLASS(CreateControls)
PV_PANEL_GROUP_CLASS(DestroyControls)
PV_PANEL_GROUP_CLASS(UngroupControls)
PV_PANEL_GROUP_CLASS(Duplicate)
PV_PANEL_GROUP_CLASS(Clone)
PV_PANEL_GROUP_CLASS(Order)
PV_PANEL_GROUP_CLASS(Points)
PV_PANEL_GROUP_CLASS(Reroute)
PV_PANEL_GROUP_CLASS(Color)
PV_PANEL_GROUP_CLASS(Props)
#undef PV_PANEL_GROUP_CLASS

// Registers the history core's and the property framework's classes and those of the
// control actions and panel groups, in their fixed order.
void RegisterControlHistoryActions();

}  // namespace pv::graphics
