#include "history/History.h"

#include <algorithm>

namespace pv::graphics {

THistory::~THistory() {
  openGroup_ = nullptr;
  actions_.clear();
}

void THistory::SetActive(bool active) {
  if (state_ != THistoryState::Idle || active == active_) return;
  active_ = active;
  if (!active) Clear();
}

void THistory::SetDepth(int depth) { depth_ = std::max(1, depth); }

void THistory::DoChange() {
  if (OnChange) OnChange(*this);
}

TVexaObject* THistory::GetActionSource(THistoryAction& action, bool& found) {
  found = false;
  if (!OnGetActionSource) return nullptr;
  return OnGetActionSource(*this, action, found);
}

void THistory::SetActionSource(THistoryAction& action, TVexaObject* source) {
  if (OnSetActionSource) OnSetActionSource(*this, action, source);
}

void THistory::GetActionCaption(THistoryAction& action, TVexaObject* source, std::string& caption) {
  action.DoGetCaption(source, caption);
  if (OnGetActionCaption) OnGetActionCaption(*this, action, source, caption);
}

bool THistory::IsRecordable(const THistoryActionClass*& cls, TVexaObject*& source, int tag) {
  bool recordable = CanRecordClass(*cls, *this, source, tag);
  if (recordable && OnIsRecordable) OnIsRecordable(*this, cls, source, tag, recordable);
  return recordable && cls;
}

bool THistory::IsSame(THistoryAction& action, const THistoryActionClass& cls, TVexaObject* source) {
  bool same = action.IsSameAction(cls, source);
  if (OnIsSame) OnIsSame(*this, action, cls, source, same);
  return same;
}

THistoryAction* THistory::AppendTopLevel(const THistoryActionClass& cls, int tag) {
  if (!IsHistoryActionClassRegistered(cls) || !cls.create) return nullptr;
  std::unique_ptr<THistoryAction> action = cls.create(*this, nullptr);
  action->Tag = tag;
  DeleteActions(actionIndex_ + 1, -1);
  actions_.push_back(std::move(action));
  const int trimmed = TrimToDepth();
  actionIndex_ = actionIndex_ + 1 - trimmed;
  SetState(THistoryState::Recording);
  return actions_.back().get();
}

THistoryAction* THistory::BeginAction(const THistoryActionClass& requested, TVexaObject* source, int tag) {
  if (!active_ || disabled_ > 0 || state_ >= THistoryState::Undoing) return nullptr;
  const THistoryActionClass* cls = &requested;
  if (!IsRecordable(cls, source, tag)) return nullptr;
  THistoryGroup* const outer = openGroup_;
  THistoryAction* action = outer ? outer->AddAction(*cls, source, 0) : AppendTopLevel(*cls, tag);
  if (!action) return nullptr;
  try {
    SetActionSource(*action, source);
    GetActionCaption(*action, source, action->Caption);
    if (auto* group = dynamic_cast<THistoryGroup*>(action)) {
      openGroup_ = group;
      ++groupDepth_;
    }
    action->BeginRecord(source);
    if (action->State() == THistoryState::Recording) {
      action->RecordAction(source);
      DoChange();
      return action;
    }
  } catch (...) {
    RemoveAction(action);
    throw;
  }
  RemoveAction(action);
  return nullptr;
}

// Takes a just-begun action out again, with the open group and the state as before it.
void THistory::RemoveAction(THistoryAction* action) {
  THistoryGroup* parent = action->Parent();
  if (openGroup_ == action) {
    openGroup_ = parent;
    --groupDepth_;
  }
  if (parent) {
    if (parent->LastChild() == action) parent->RemoveLast();
  } else if (!actions_.empty() && actions_.back().get() == action) {
    DeleteLast();
  }
  if (!openGroup_) SetState(THistoryState::Idle);
}

bool THistory::EndAction() {
  if (!active_ || disabled_ > 0 || actionIndex_ < 0 || state_ != THistoryState::Recording) return false;
  if (openGroup_) {
    THistoryGroup* group = openGroup_;
    group->EndInner();
    if (group->State() == THistoryState::Idle) {
      const bool remove = group->RemoveWhenEnded();
      THistoryGroup* parent = group->Parent();
      openGroup_ = parent;
      --groupDepth_;
      if (remove) {
        if (parent) {
          parent->RemoveLast();
        } else {
          DeleteLast();
        }
      }
    }
    if (!openGroup_) SetState(THistoryState::Idle);
    return true;
  }
  THistoryAction* action = actions_[static_cast<size_t>(actionIndex_)].get();
  bool result = false;
  if (action->State() == THistoryState::Recording) {
    action->EndRecord();
    result = true;
  }
  const bool remove = action->RemoveWhenEnded();
  if (action->State() == THistoryState::Idle || remove) SetState(THistoryState::Idle);
  if (remove) DeleteLast();
  return result;
}

bool THistory::CancelAction() {
  if (!active_ || disabled_ > 0) return false;
  THistoryAction* current = nullptr;
  if (openGroup_) {
    current = openGroup_->LastChild() ? openGroup_->LastChild() : openGroup_;
  } else if (!actions_.empty()) {
    current = actions_.back().get();
  }
  if (!current || current->State() != THistoryState::Recording) return false;
  RemoveAction(current);
  return true;
}

bool THistory::AbandonAction(THistoryAction* action) {
  for (THistoryGroup* g = openGroup_; g; g = g->Parent()) {
    if (g != action) continue;
    // Groups opened inside it go with it.
    while (openGroup_ != g) {
      openGroup_ = openGroup_->Parent();
      --groupDepth_;
    }
    RemoveAction(action);
    return true;
  }
  const THistoryAction* last = openGroup_ ? openGroup_->LastChild() : (actions_.empty() ? nullptr : actions_.back().get());
  if (last != action || action->State() != THistoryState::Recording) return false;
  RemoveAction(action);
  return true;
}

THistoryAction* THistory::RecordStep(const THistoryActionClass& cls, TVexaObject* source, int tag) {
  THistoryAction* action = BeginAction(cls, source, tag);
  if (!action) return nullptr;
  THistoryGroup* parent = action->Parent();
  EndAction();
  // A step that asked to be dropped when it ended is gone: no caller may fill it in.
  const bool kept = parent ? parent->LastChild() == action : !actions_.empty() && actions_.back().get() == action;
  return kept ? action : nullptr;
}

bool THistory::Replay(bool undo) {
  if (state_ != THistoryState::Idle) return false;
  struct Reset {
    THistory& history;
    ~Reset() {
      history.currentSource_ = nullptr;
      history.SetState(THistoryState::Idle);
    }
  } reset{*this};
  SetState(undo ? THistoryState::Undoing : THistoryState::Redoing);
  // An action whose source is gone is stepped over, so that it does not block every
  // older (or newer) step behind it.
  for (;;) {
    const int index = undo ? actionIndex_ : actionIndex_ + 1;
    if (index < 0 || index >= Count()) return false;
    THistoryAction& action = *GetAction(index);
    bool found = false;
    currentSource_ = GetActionSource(action, found);
    if (found) {
      if (undo) {
        action.UndoAction(currentSource_);
      } else {
        action.RedoAction(currentSource_);
      }
    }
    actionIndex_ = undo ? index - 1 : index;
    if (found) break;
  }
  DoChange();
  return true;
}

bool THistory::Undo() { return Replay(true); }

bool THistory::Redo() { return Replay(false); }

void THistory::ForgetOpenGroup() {
  openGroup_ = nullptr;
  groupDepth_ = 0;
  SetState(THistoryState::Idle);
}

void THistory::Clear() {
  ForgetOpenGroup();
  const bool had = !actions_.empty();
  actions_.clear();
  actionIndex_ = -1;
  if (had) DoChange();
}

void THistory::DeleteActions(int from, int to) {
  const int count = Count();
  if (from < 0) from = 0;
  if (to < 0) to = count + to;
  if (to >= count) to = count - 1;
  if (from > to) return;
  // An open group that goes with them is forgotten.
  if (openGroup_) {
    const THistoryAction* top = openGroup_;
    while (top->Parent()) top = top->Parent();
    for (int i = from; i <= to; ++i) {
      if (GetAction(i) == top) ForgetOpenGroup();
    }
  }
  actions_.erase(actions_.begin() + from, actions_.begin() + to + 1);
}

int THistory::TrimToDepth() {
  const int surplus = Count() - depth_;
  if (surplus <= 0) return 0;
  DeleteActions(0, surplus - 1);
  return surplus;
}

bool THistory::DeleteLast() {
  if (!active_ || actions_.empty()) return false;
  DeleteActions(Count() - 1, Count() - 1);
  if (actionIndex_ > Count() - 1) actionIndex_ = Count() - 1;
  DoChange();
  return true;
}

THistoryGroup* THistory::ReopenLastGroup() {
  if (state_ != THistoryState::Idle || disabled_ > 0 || !active_) return nullptr;
  THistoryAction* candidate = nullptr;
  if (openGroup_) {
    if (openGroup_->State() != THistoryState::Idle || openGroup_->Count() == 0) return nullptr;
    candidate = openGroup_->LastChild();
  } else if (!actions_.empty() && actionIndex_ == Count() - 1) {
    candidate = actions_.back().get();
  }
  auto* group = dynamic_cast<THistoryGroup*>(candidate);
  if (!group || group->State() != THistoryState::Idle) return nullptr;
  if (!group->BeginState(THistoryState::Recording)) return nullptr;
  SetState(THistoryState::Recording);
  openGroup_ = group;
  ++groupDepth_;
  DoChange();
  return group;
}

bool THistory::EnableRecording() {
  if (disabled_ == 0) return true;
  --disabled_;
  return false;
}

TVexaObject* THistory::GetCurrentSource() const {
  if (state_ != THistoryState::Undoing && state_ != THistoryState::Redoing) return nullptr;
  const int index = state_ == THistoryState::Undoing ? actionIndex_ : actionIndex_ + 1;
  if (index < 0 || index >= Count()) return nullptr;
  TVexaObject* source = currentSource_;
  const auto* group = dynamic_cast<const THistoryGroup*>(GetAction(index));
  while (group && group->CurrentIndex() >= 0) {
    source = group->CurrentSource();
    group = dynamic_cast<const THistoryGroup*>(group->Child(group->CurrentIndex()));
  }
  return source;
}

}  // namespace pv::graphics
