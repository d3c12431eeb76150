#pragma once
// The undo history: a linear list of actions, the index of the last one done, and the group
// that new actions join. It records only while Active.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history/HistoryAction.h"
#include "history/HistoryGroup.h"

namespace pv::graphics {

class THistory {
 public:
  explicit THistory(TVexaObject* owner = nullptr) : owner_(owner) {}
  virtual ~THistory();
  THistory(const THistory&) = delete;
  THistory& operator=(const THistory&) = delete;

  TVexaObject* Owner() const { return owner_; }
  bool Active() const { return active_; }
  // Ignored while not idle; switching off deletes every action.
  void SetActive(bool active);
  int Depth() const { return depth_; }
  // At least 1, so that trimming never frees the action just appended.
  void SetDepth(int depth);
  int ActionIndex() const { return actionIndex_; }
  THistoryState State() const { return state_; }
  // Undoing or redoing a step: what a step recorded comes back as recorded, not worked out anew.
  bool Replaying() const { return state_ >= THistoryState::Undoing; }
  int Count() const { return static_cast<int>(actions_.size()); }
  THistoryAction* GetAction(int index) const { return actions_[static_cast<size_t>(index)].get(); }
  THistoryGroup* OpenGroup() const { return openGroup_; }
  int GroupDepth() const { return groupDepth_; }

  THistoryAction* BeginAction(const THistoryActionClass& cls, TVexaObject* source, int tag = 0);
  bool EndAction();
  bool CancelAction();
  // Drops a begun action whatever its children did (an exception between begin and end).
  bool AbandonAction(THistoryAction* action);
  THistoryAction* RecordStep(const THistoryActionClass& cls, TVexaObject* source, int tag = 0);
  virtual bool Undo();
  virtual bool Redo();
  void Clear();
  void DeleteActions(int from, int to);
  int TrimToDepth();
  bool DeleteLast();
  THistoryGroup* ReopenLastGroup();
  void DisableRecording() { ++disabled_; }
  bool EnableRecording();
  bool RecordingDisabled() const { return disabled_ > 0; }
  TVexaObject* GetCurrentSource() const;
  bool CanRecord() const { return active_ && state_ < THistoryState::Undoing; }

  virtual void SetState(THistoryState state) { state_ = state; }
  virtual void DoChange();
  virtual TVexaObject* GetActionSource(THistoryAction& action, bool& found);
  virtual void SetActionSource(THistoryAction& action, TVexaObject* source);
  virtual void GetActionCaption(THistoryAction& action, TVexaObject* source, std::string& caption);
  virtual bool IsRecordable(const THistoryActionClass*& cls, TVexaObject*& source, int tag);
  virtual bool IsSame(THistoryAction& action, const THistoryActionClass& cls, TVexaObject* source);
  // A text that names an action of that class on that source, for histories whose IsSame is
  // exactly "equal identities": groups then find a matching child by it instead of asking
  // IsSame of every child. False (the default): no such identity.
  virtual bool SourceIdentity(const THistoryActionClass&, TVexaObject*, std::string&) const { return false; }

  std::function<void(THistory&)> OnChange;
  std::function<TVexaObject*(THistory&, THistoryAction&, bool& found)> OnGetActionSource;
  std::function<void(THistory&, THistoryAction&, TVexaObject* source)> OnSetActionSource;
  std::function<void(THistory&, THistoryAction&, TVexaObject* source, std::string& caption)> OnGetActionCaption;
  std::function<void(THistory&, const THistoryActionClass*& cls, TVexaObject*& source, int tag, bool& recordable)>
      OnIsRecordable;
  std::function<void(THistory&, THistoryAction&, const THistoryActionClass& cls, TVexaObject* source, bool& same)>
      OnIsSame;

 private:
  THistoryAction* AppendTopLevel(const THistoryActionClass& cls, int tag);
  void RemoveAction(THistoryAction* action);
  bool Replay(bool undo);
  void ForgetOpenGroup();

  TVexaObject* owner_;
  std::vector<std::unique_ptr<THistoryAction>> actions_;
  bool active_ = false;
  int actionIndex_ = -1;
  int depth_ = 100;
  THistoryGroup* openGroup_ = nullptr;
  int groupDepth_ = 0;
  int disabled_ = 0;
  THistoryState state_ = THistoryState::Idle;
  TVexaObject* currentSource_ = nullptr;
};

// Begins an action and cancels it when left without End (an exception on the way).
class THistoryRecording {
 public:
  THistoryRecording(THistory& history, const THistoryActionClass& cls, TVexaObject* source, int tag = 0)
      : history_(history), action_(history.BeginAction(cls, source, tag)) {}
  ~THistoryRecording() {
    if (action_) history_.AbandonAction(action_);
  }
  THistoryRecording(const THistoryRecording&) = delete;
  THistoryRecording& operator=(const THistoryRecording&) = delete;

  THistoryAction* Action() const { return action_; }
  bool End() {
    if (!action_) return false;
    action_ = nullptr;
    return history_.EndAction();
  }

 private:
  THistory& history_;
  THistoryAction* action_;
};

// Recording stays off for the scope (and comes back on when it is left by an exception).
class TRecordingOff {
 public:
  explicit TRecordingOff(THistory& history) : history_(history) { history_.DisableRecording(); }
  ~TRecordingOff() { history_.EnableRecording(); }
  TRecordingOff(const TRecordingOff&) = delete;
  TRecordingOff& operator=(const TRecordingOff&) = delete;

 private:
  THistory& history_;
};

}  // namespace pv::graphics
