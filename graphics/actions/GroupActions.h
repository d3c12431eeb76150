#pragma once
// Undo of making and dissolving a group: the group's class, its ID and its members' IDs.

#include <string>
#include <vector>

#include "actions/IdHistoryAction.h"

namespace pv::graphics {

class TGroupUngroupHistoryAction : public TIdHistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using TIdHistoryAction::TIdHistoryAction;

  void RecordAction(TVexaObject* source) override;

 protected:
  // Groups the remembered members again under the remembered class and ID (through the
  // panel's ID check).
  void Regroup();
  void Reungroup();

 private:
  IDocPanel* panel_ = nullptr;
  std::string groupClass_;
  std::vector<int32_t> members_;
};

class TControlGroupHistoryAction : public TGroupUngroupHistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using TGroupUngroupHistoryAction::TGroupUngroupHistoryAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
  void UndoAction(TVexaObject*) override { Reungroup(); }
  void RedoAction(TVexaObject*) override { Regroup(); }
};

class TControlUngroupHistoryAction : public TGroupUngroupHistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using TGroupUngroupHistoryAction::TGroupUngroupHistoryAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }
  void UndoAction(TVexaObject*) override { Regroup(); }
  void RedoAction(TVexaObject*) override { Reungroup(); }
};

}  // namespace pv::graphics
