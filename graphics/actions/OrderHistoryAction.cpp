#include "actions/OrderHistoryAction.h"

#include <algorithm>

namespace pv::graphics {

const THistoryActionClass TOrderHistoryAction::ClassInfo{"TOrderHistoryAction", &TIdHistoryAction::ClassInfo,
                                                         &CreateHistoryAction<TOrderHistoryAction>, nullptr};

TOrderHistoryAction::OrderRecord TOrderHistoryAction::Capture(const IDocControl& control) {
  OrderRecord record;
  record.filled = true;
  record.index = control.IndexInParent();
  record.parentId = control.Parent() ? control.Parent()->GetId() : 0;
  record.layerId = control.Layer() ? control.Layer()->GetId() : 0;
  return record;
}

void TOrderHistoryAction::Apply(const OrderRecord& record, IDocControl& control) {
  IDocPanel& panel = control.Panel();
  if (record.parentId == 0) {
    if (control.Parent()) control.SetParent(nullptr);
  } else if (!control.Parent() || control.Parent()->GetId() != record.parentId) {
    if (IDocControl* parent = panel.FindControl(record.parentId)) control.SetParent(parent);
  }
  if (record.layerId == 0) {
    if (control.Layer()) control.SetLayer(nullptr);
  } else if (!control.Layer() || control.Layer()->GetId() != record.layerId) {
    if (IDocControl* layer = panel.FindLayer(record.layerId)) control.SetLayer(layer);
  }
  IDocControl* parent = control.Parent();
  if (!parent || record.index < 0) return;
  // The saved index may no longer exist among the present children.
  const int present = control.IndexInParent();
  const int target = std::clamp(record.index, 0, parent->ChildCount() - 1);
  if (present >= 0 && present != target) parent->MoveChild(present, target);
}

void TOrderHistoryAction::RecordAction(TVexaObject* source) {
  const IDocControl* control = AsControl(source);
  if (control && State() == THistoryState::Recording) undo_ = Capture(*control);
}

void TOrderHistoryAction::UndoAction(TVexaObject* source) {
  IDocControl* control = AsControl(source);
  if (!control || !undo_.filled) return;
  redo_ = Capture(*control);
  Apply(undo_, *control);
}

void TOrderHistoryAction::RedoAction(TVexaObject* source) {
  IDocControl* control = AsControl(source);
  if (control && redo_.filled) Apply(redo_, *control);
}

}  // namespace pv::graphics
