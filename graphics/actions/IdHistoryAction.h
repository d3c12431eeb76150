#pragma once
// The base of the actions bound to one control by its ID: the control is found again by
// the ID when the action is undone or redone.

#include "history/HistoryAction.h"
#include "textformat/DocModel.h"

namespace pv::graphics {

inline IDocControl* AsControl(TVexaObject* source) { return dynamic_cast<IDocControl*>(source); }

class TIdHistoryAction : public THistoryStreamAction {
 public:
  static const THistoryActionClass ClassInfo;
  using THistoryStreamAction::THistoryStreamAction;

  // Takes the control's ID; an action whose source has ID 0 refuses to record.
  void BeginRecord(TVexaObject* source) override;
  bool IsSameAction(const THistoryActionClass& cls, TVexaObject* source) const override;
  // The control actions keep their state in fields, not in the streams.
  bool SaveLoad(TByteStream&, TVexaObject*, bool) override { return false; }
};

}  // namespace pv::graphics
