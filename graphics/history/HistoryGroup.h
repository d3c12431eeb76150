#pragma once
// Actions bundled into one step: undone from the last child to the first, redone the other way.

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "history/HistoryAction.h"

namespace pv::graphics {

class THistoryGroup : public THistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using THistoryAction::THistoryAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }

  // None when the class is not registered or a child already records this source.
  THistoryAction* AddAction(const THistoryActionClass& cls, TVexaObject* source, int tag);
  // Whether a child already records this source as that class: by key when the history can
  // name one (constant time), else child by child.
  bool HoldsSame(const THistoryActionClass& cls, TVexaObject* source) const;
  // Ends the recording last child (removing it when it asks), else the group itself.
  void EndInner();
  void RemoveLast();

  void EndRecord() override;
  void RecordAction(TVexaObject*) override {}
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;

  int Count() const { return static_cast<int>(children_.size()); }
  THistoryAction* Child(int i) const { return children_[static_cast<size_t>(i)].get(); }
  THistoryAction* LastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
  int CurrentIndex() const { return currentIndex_; }
  TVexaObject* CurrentSource() const { return currentSource_; }
  bool DropWhenEmpty() const { return dropWhenEmpty_; }

 protected:
  void SetDropWhenEmpty(bool drop) { dropWhenEmpty_ = drop; }

 private:
  void Replay(bool undo);

  std::vector<std::unique_ptr<THistoryAction>> children_;
  // The identities of the children (empty where the history gave none), and the set of
  // them: a group of many actions finds a matching child without comparing every one.
  std::vector<std::string> childKeys_;
  std::unordered_set<std::string> keys_;
  int currentIndex_ = -1;
  TVexaObject* currentSource_ = nullptr;
  bool dropWhenEmpty_ = false;
};

}  // namespace pv::graphics
