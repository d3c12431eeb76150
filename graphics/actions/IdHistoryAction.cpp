#include "actions/IdHistoryAction.h"

namespace pv::graphics {

const THistoryActionClass TIdHistoryAction::ClassInfo{"TIdHistoryAction", &THistoryStreamAction::ClassInfo, nullptr,
                                                      nullptr};

void TIdHistoryAction::BeginRecord(TVexaObject* source) {
  if (IDocControl* control = AsControl(source)) SourceId = control->GetId();
  THistoryStreamAction::BeginRecord(source);
  if (State() == THistoryState::Recording && SourceId == 0) SetState(THistoryState::Idle);
}

bool TIdHistoryAction::IsSameAction(const THistoryActionClass& cls, TVexaObject* source) const {
  const IDocControl* control = AsControl(source);
  return &cls == &ClassType() && control && control->GetId() == SourceId;
}

}  // namespace pv::graphics
