#include "history/HistoryGroup.h"

#include "history/History.h"

namespace pv::graphics {

const THistoryActionClass THistoryGroup::ClassInfo{"THistoryGroup", &THistoryAction::ClassInfo,
                                                   &CreateHistoryAction<THistoryGroup>, nullptr};

bool THistoryGroup::HoldsSame(const THistoryActionClass& cls, TVexaObject* source) const {
  std::string key;
  if (History().SourceIdentity(cls, source, key)) return !key.empty() && keys_.count(key) > 0;
  for (const auto& child : children_) {
    if (History().IsSame(*child, cls, source)) return true;
  }
  return false;
}

THistoryAction* THistoryGroup::AddAction(const THistoryActionClass& cls, TVexaObject* source, int tag) {
  if (!IsHistoryActionClassRegistered(cls) || !cls.create) return nullptr;
  if (HoldsSame(cls, source)) return nullptr;
  std::string key;
  if (!History().SourceIdentity(cls, source, key)) key.clear();
  children_.push_back(cls.create(History(), this));
  childKeys_.push_back(key);
  if (!key.empty()) keys_.insert(key);
  children_.back()->Tag = tag;
  return children_.back().get();
}

void THistoryGroup::EndInner() {
  THistoryAction* last = LastChild();
  if (last && last->State() == THistoryState::Recording) {
    last->EndRecord();
    if (last->RemoveWhenEnded()) RemoveLast();
    return;
  }
  EndRecord();
}

void THistoryGroup::RemoveLast() {
  if (children_.empty()) return;
  children_.pop_back();
  if (!childKeys_.back().empty()) keys_.erase(childKeys_.back());
  childKeys_.pop_back();
  History().DoChange();
}

void THistoryGroup::EndRecord() {
  THistoryAction::EndRecord();
  AskToBeRemoved(dropWhenEmpty_ && children_.empty());
}

void THistoryGroup::Replay(bool undo) {
  struct Reset {
    THistoryGroup& group;
    ~Reset() {
      group.SetState(THistoryState::Idle);
      group.currentIndex_ = -1;
      group.currentSource_ = nullptr;
    }
  } reset{*this};
  SetState(undo ? THistoryState::Undoing : THistoryState::Redoing);
  const int count = Count();
  for (int k = 0; k < count; ++k) {
    const int i = undo ? count - 1 - k : k;
    currentIndex_ = i;
    THistoryAction& child = *Child(i);
    bool found = false;
    currentSource_ = History().GetActionSource(child, found);
    if (!found) continue;
    if (undo) {
      child.UndoAction(currentSource_);
    } else {
      child.RedoAction(currentSource_);
    }
  }
}

void THistoryGroup::UndoAction(TVexaObject*) {
  if (State() == THistoryState::Idle) Replay(true);
}

void THistoryGroup::RedoAction(TVexaObject*) {
  if (State() == THistoryState::Idle) Replay(false);
}

}  // namespace pv::graphics
