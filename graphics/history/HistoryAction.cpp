#include "history/HistoryAction.h"

#include <algorithm>
#include <vector>

#include "history/HistoryGroup.h"

namespace pv::graphics {

const THistoryActionClass THistoryAction::ClassInfo{"THistoryAction", nullptr, nullptr, nullptr};
const THistoryActionClass THistoryStreamAction::ClassInfo{"THistoryStreamAction", &THistoryAction::ClassInfo,
                                                          nullptr, nullptr};

bool InheritsFrom(const THistoryActionClass& cls, const THistoryActionClass& base) {
  for (const THistoryActionClass* c = &cls; c; c = c->parent) {
    if (c == &base) return true;
  }
  return false;
}

bool CanRecordClass(const THistoryActionClass& cls, THistory& history, TVexaObject* source, int tag) {
  for (const THistoryActionClass* c = &cls; c; c = c->parent) {
    if (c->canRecord) return c->canRecord(history, source, tag);
  }
  return true;
}

namespace {

std::vector<const THistoryActionClass*>& Registry() {
  static std::vector<const THistoryActionClass*> registry;
  return registry;
}

}  // namespace

void RegisterHistoryActionClass(const THistoryActionClass& cls) {
  auto& registry = Registry();
  if (std::find(registry.begin(), registry.end(), &cls) == registry.end()) registry.push_back(&cls);
}

bool IsHistoryActionClassRegistered(const THistoryActionClass& cls) {
  const auto& registry = Registry();
  return std::find(registry.begin(), registry.end(), &cls) != registry.end();
}

void RegisterHistoryCoreActions() { RegisterHistoryActionClass(THistoryGroup::ClassInfo); }

bool THistoryAction::BeginState(THistoryState state) {
  if (state_ == state) return false;
  if (state != THistoryState::Idle && state_ != THistoryState::Idle) return false;
  SetState(state);
  return true;
}

bool THistoryAction::EndState() {
  if (state_ == THistoryState::Idle) return false;
  SetState(THistoryState::Idle);
  return true;
}

bool THistoryAction::IsSameAction(const THistoryActionClass&, TVexaObject*) const { return false; }

void THistoryAction::DoGetCaption(TVexaObject*, std::string&) {}

void THistoryAction::BeginRecord(TVexaObject*) {
  if (state_ == THistoryState::Idle) SetState(THistoryState::Recording);
}

void THistoryAction::EndRecord() {
  if (state_ == THistoryState::Recording) SetState(THistoryState::Idle);
}

TMemoryStream& THistoryStreamAction::Fresh(std::unique_ptr<TMemoryStream>& stream) {
  if (stream) {
    stream->Clear();
  } else {
    stream = std::make_unique<TMemoryStream>();
  }
  return *stream;
}

void THistoryStreamAction::RecordAction(TVexaObject* source) {
  if (State() != THistoryState::Recording) return;
  SaveLoad(Fresh(undo_), source, false);
}

namespace {

// Returns the action to idle however the replay ends.
struct StateScope {
  THistoryAction& action;
  ~StateScope() { action.EndState(); }
};

}  // namespace

void THistoryStreamAction::UndoAction(TVexaObject* source) {
  if (!undo_ || !BeginState(THistoryState::Undoing)) return;
  StateScope scope{*this};
  SaveLoad(Fresh(redo_), source, false);
  undo_->Seek(0);
  SaveLoad(*undo_, source, true);
}

void THistoryStreamAction::RedoAction(TVexaObject* source) {
  if (!redo_ || !BeginState(THistoryState::Redoing)) return;
  StateScope scope{*this};
  redo_->Seek(0);
  SaveLoad(*redo_, source, true);
}

}  // namespace pv::graphics
