#pragma once
// One recorded change: the state of one source (a property, a control, the panel) before the
// change and, once undone, after it. Which action classes may be begun is decided by a
// registry that every unit fills from an explicit start-up call.

#include <cstdint>
#include <memory>
#include <string>

#include "base/ByteStream.h"
#include "base/VexaObject.h"

namespace pv::graphics {

class THistory;
class THistoryAction;
class THistoryGroup;

enum class THistoryState : uint8_t { Idle = 0, Recording = 1, Undoing = 2, Redoing = 3 };

// An action class as a value: its name, its parent class, how to make one (none for the
// abstract bases) and its class-level recording test (none: the parent's; true at the root).
struct THistoryActionClass {
  const char* name;
  const THistoryActionClass* parent;
  std::unique_ptr<THistoryAction> (*create)(THistory& history, THistoryGroup* parent);
  bool (*canRecord)(THistory& history, TVexaObject* source, int tag);
};

bool InheritsFrom(const THistoryActionClass& cls, const THistoryActionClass& base);
// The first recording test up the class chain; true when no class has one.
bool CanRecordClass(const THistoryActionClass& cls, THistory& history, TVexaObject* source, int tag);

template <class T>
std::unique_ptr<THistoryAction> CreateHistoryAction(THistory& history, THistoryGroup* parent) {
  return std::make_unique<T>(history, parent);
}

// The process-wide registry; registering a class twice keeps one entry.
void RegisterHistoryActionClass(const THistoryActionClass& cls);
bool IsHistoryActionClassRegistered(const THistoryActionClass& cls);
// Registers the classes of the history core (THistoryGroup).
void RegisterHistoryCoreActions();

class THistoryAction {
 public:
  static const THistoryActionClass ClassInfo;

  THistoryAction(THistory& history, THistoryGroup* parent) : history_(history), parent_(parent) {}
  virtual ~THistoryAction() = default;
  THistoryAction(const THistoryAction&) = delete;
  THistoryAction& operator=(const THistoryAction&) = delete;

  virtual const THistoryActionClass& ClassType() const = 0;

  THistory& History() const { return history_; }
  THistoryGroup* Parent() const { return parent_; }
  THistoryState State() const { return state_; }
  bool RemoveWhenEnded() const { return removeWhenEnded_; }

  virtual void SetState(THistoryState state) { state_ = state; }
  // False when already in that state, or when asked to record, undo or redo while not idle.
  virtual bool BeginState(THistoryState state);
  // False when idle; else back to idle.
  virtual bool EndState();
  virtual bool IsSameAction(const THistoryActionClass& cls, TVexaObject* source) const;
  virtual void DoGetCaption(TVexaObject* source, std::string& caption);
  virtual void BeginRecord(TVexaObject* source);
  virtual void EndRecord();
  virtual void RecordAction(TVexaObject* source) = 0;
  virtual void UndoAction(TVexaObject* source) = 0;
  virtual void RedoAction(TVexaObject* source) = 0;

  std::string Caption;
  int Tag = 0;
  // Where the source is found again: the panel's history stores the source's identity here
  // (a control's ID, a property's name) and looks it up on undo and redo.
  int32_t SourceId = 0;
  std::string SourceName;

 protected:
  void AskToBeRemoved(bool remove) { removeWhenEnded_ = remove; }

 private:
  THistory& history_;
  THistoryGroup* parent_;
  THistoryState state_ = THistoryState::Idle;
  bool removeWhenEnded_ = false;
};

// An action that keeps the source's state as bytes: the text format, in memory streams
// reused between undo and redo.
class THistoryStreamAction : public THistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using THistoryAction::THistoryAction;

  void RecordAction(TVexaObject* source) override;
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;

  // Writes the source's state to the stream (load false) or reads it back and applies it.
  virtual bool SaveLoad(TByteStream& stream, TVexaObject* source, bool load) = 0;

  const TMemoryStream* UndoStream() const { return undo_.get(); }
  const TMemoryStream* RedoStream() const { return redo_.get(); }

 private:
  static TMemoryStream& Fresh(std::unique_ptr<TMemoryStream>& stream);

  std::unique_ptr<TMemoryStream> undo_;
  std::unique_ptr<TMemoryStream> redo_;
};

}  // namespace pv::graphics
