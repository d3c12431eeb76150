#include "actions/GeometryActions.h"

#include <utility>

#include "history/History.h"

namespace pv::graphics {

namespace {

// A rectangle change is recorded inside the control's update bracket, and not when the
// open group already holds a points action for the control (that one restores the
// rectangle too).
bool CanRecordDocRect(THistory& history, TVexaObject* source, int) {
  const IDocControl* control = AsControl(source);
  if (!control) return false;
  // A descendant is recorded by the bracket of the ancestor that moved it, once its own
  // brackets are over.
  bool inUpdate = false;
  for (const IDocControl* c = control; c && !inUpdate; c = c->Parent()) inUpdate = c->InUpdate();
  if (!inUpdate) return false;
  // By key: a step of many controls stays linear.
  const THistoryGroup* group = history.OpenGroup();
  return !group || !group->HoldsSame(TPointsHistoryAction::ClassInfo, source);
}

void Offset(TRect& r, int32_t dx, int32_t dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
}

}  // namespace

const THistoryActionClass TDocRectHistoryAction::ClassInfo{"TDocRectHistoryAction", &TIdHistoryAction::ClassInfo,
                                                           &CreateHistoryAction<TDocRectHistoryAction>,
                                                           &CanRecordDocRect};
const THistoryActionClass TPointsHistoryAction::ClassInfo{"TPointsHistoryAction", &TIdHistoryAction::ClassInfo,
                                                          &CreateHistoryAction<TPointsHistoryAction>, nullptr};

void TDocRectHistoryAction::RecordAction(TVexaObject* source) {
  const IDocControl* control = AsControl(source);
  if (!control || State() != THistoryState::Recording) return;
  undo_ = control->UpdateRect();
  hasUndo_ = true;
  // A control without geometry yet leaves no rectangle step. One recorded by an ancestor's
  // bracket is outside its own, and the ancestor gives the rectangle it had.
  if (!control->InUpdate()) return;
  if (undo_.left == 0 && undo_.top == 0 && undo_.right <= 1 && undo_.bottom <= 1) AskToBeRemoved(true);
}

void TDocRectHistoryAction::UndoAction(TVexaObject* source) {
  IDocControl* control = AsControl(source);
  if (!control || !hasUndo_) return;
  if (!hasRedo_) {
    redo_ = control->GetDocRect();
    hasRedo_ = true;
  }
  control->RestoreDocRect(undo_);
}

void TDocRectHistoryAction::RedoAction(TVexaObject* source) {
  IDocControl* control = AsControl(source);
  if (control && hasRedo_) control->RestoreDocRect(redo_);
}

void TDocRectHistoryAction::OffsetRecordedRect(int32_t dx, int32_t dy) { Offset(undo_, dx, dy); }

void TDocRectHistoryAction::SetRecordedRect(const TRect& rect) {
  undo_ = rect;
  hasUndo_ = true;
  AskToBeRemoved(false);
}

void TPointsHistoryAction::Fill(PointsRecord& record, const IDocControl& control) {
  record.rect = control.GetDocRect();
  control.GetPointsEx(record.points, record.types);
  record.filled = true;
}

void TPointsHistoryAction::Apply(const PointsRecord& record, IDocControl& control) {
  control.RestorePoints(record.rect, record.points, record.types);
}

void TPointsHistoryAction::RecordAction(TVexaObject* source) {
  const IDocControl* control = AsControl(source);
  if (!control || State() != THistoryState::Recording || undo_.filled) return;
  control->GetPointsForUndo(undo_.rect, undo_.points, undo_.types);
  undo_.filled = true;
}

void TPointsHistoryAction::UndoAction(TVexaObject* source) {
  IDocControl* control = AsControl(source);
  if (!control || !undo_.filled) return;
  Fill(redo_, *control);
  Apply(undo_, *control);
}

void TPointsHistoryAction::RedoAction(TVexaObject* source) {
  IDocControl* control = AsControl(source);
  if (control && redo_.filled) Apply(redo_, *control);
}

void TPointsHistoryAction::TakeUpdateRect(const IDocControl& control) { undo_.rect = control.UpdateRect(); }

void TPointsHistoryAction::SetRecorded(const TRect& rect, std::vector<TPoint> points, std::vector<uint8_t> types) {
  undo_.rect = rect;
  undo_.points = std::move(points);
  undo_.types = std::move(types);
  undo_.filled = true;
}

void TPointsHistoryAction::OffsetRecordedRect(int32_t dx, int32_t dy) {
  if (undo_.filled) Offset(undo_.rect, dx, dy);
}

}  // namespace pv::graphics
