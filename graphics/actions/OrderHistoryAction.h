#pragma once
// Undo of a control's place in the tree: its index among the parent's children, its parent
// and its layer.

#include "actions/IdHistoryAction.h"

namespace pv::graphics {

class TOrderHistoryAction : public TIdHistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using TIdHistoryAction::TIdHistoryAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }

  void RecordAction(TVexaObject* source) override;
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;

 private:
  struct OrderRecord {
    bool filled = false;
    int index = -1;
    int32_t parentId = 0;
    int32_t layerId = 0;
  };
  static OrderRecord Capture(const IDocControl& control);
  static void Apply(const OrderRecord& record, IDocControl& control);

  OrderRecord undo_;
  OrderRecord redo_;
};

}  // namespace pv::graphics
