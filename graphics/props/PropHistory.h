#pragma once
// Undo of one property: its line or block of the text format, in save-all mode.

#include "history/HistoryAction.h"
#include "history/HistoryGroup.h"

namespace pv::graphics {

class TPropHistoryAction : public THistoryStreamAction {
 public:
  static const THistoryActionClass ClassInfo;
  using THistoryStreamAction::THistoryStreamAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }

  void BeginRecord(TVexaObject* source) override;
  bool IsSameAction(const THistoryActionClass& cls, TVexaObject* source) const override;
  bool SaveLoad(TByteStream& stream, TVexaObject* source, bool load) override;

 private:
  const TVexaObject* recorded_ = nullptr;
};

// A group that property changes join; dropped when it ends with none.
class TPropHistoryGroup : public THistoryGroup {
 public:
  static const THistoryActionClass ClassInfo;
  TPropHistoryGroup(THistory& history, THistoryGroup* parent) : THistoryGroup(history, parent) {
    SetDropWhenEmpty(true);
  }
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
};

// Registers the history core's classes and the two above.
void RegisterPropHistoryActions();

}  // namespace pv::graphics
