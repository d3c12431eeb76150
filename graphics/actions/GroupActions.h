#pragma once
// Undo of making and dissolving a group: the group's class, its ID, its own properties and
// its members' IDs, and where the members stood before they were grouped.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/ByteStream.h"

#include "actions/IdHistoryAction.h"

namespace pv::graphics {

class TGroupUngroupHistoryAction : public TIdHistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using TIdHistoryAction::TIdHistoryAction;

  void RecordAction(TVexaObject* source) override;
  // The members' IDs with their indexes in the parent before grouping: dissolving the group
  // puts them back there instead of side by side at the group's place.
  void SetMemberPlaces(std::vector<std::pair<int32_t, int>> places) { places_ = std::move(places); }

 protected:
  // Makes the group again as it stood: its class, ID (through the panel's ID check), name,
  // properties, parent, place among its siblings and layer, holding the remembered members.
  void Regroup();
  void Reungroup();

 private:
  // Control IDs with layer IDs.
  using TLayers = std::vector<std::pair<int32_t, int32_t>>;

  void RestoreGroupProps(IDocControl& group);
  void RestoreMemberPlaces();
  TLayers CurrentLayers() const;
  void RestoreLayers(const TLayers& layers);
  void RestoreGroupPlace(IDocControl& group, IDocControl& parent);

  IDocPanel* panel_ = nullptr;
  std::string groupClass_;
  // The group's name is no property of its own: the object's heading gives it.
  std::string groupName_;
  std::vector<int32_t> members_;
  // Where the group stood: its parent's ID, its index among the parent's children, its layer's
  // ID (0 for none) and its rectangle. Made again, it stands there, an empty group included.
  int32_t parentId_ = 0;
  int index_ = -1;
  int32_t layerId_ = 0;
  TRect rect_{};
  // The layer (its ID, 0 for none) of every control inside the group, members and what they
  // hold, when the step was taken; and the layers they had out of the group, taken the first
  // time the group is made again. Dissolving the group puts each member and what it holds on
  // the group's layer, and undo and redo give each one the layer it had.
  TLayers layersGrouped_;
  TLayers layersUngrouped_;
  bool ungroupedKnown_ = false;
  std::unique_ptr<TMemoryStream> groupProps_;
  std::vector<std::pair<int32_t, int>> places_;
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
