#include "actions/CreateDestroyGroups.h"

#include <algorithm>
#include <string>

#include "history/History.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {

namespace {

// Creation and destruction groups do not nest.
bool CanRecordCreateDestroy(THistory& history, TVexaObject* source, int) {
  if (!dynamic_cast<IDocControl*>(source)) return false;
  for (const THistoryGroup* g = history.OpenGroup(); g; g = g->Parent()) {
    if (InheritsFrom(g->ClassType(), TCreateDestroyHistoryGroup::ClassInfo)) return false;
  }
  return true;
}

}  // namespace

const THistoryActionClass TCreateDestroyHistoryGroup::ClassInfo{
    "TCreateDestroyHistoryGroup", &THistoryGroup::ClassInfo, nullptr, &CanRecordCreateDestroy};
const THistoryActionClass TControlCreateHistoryGroup::ClassInfo{
    "TControlCreateHistoryGroup", &TCreateDestroyHistoryGroup::ClassInfo,
    &CreateHistoryAction<TControlCreateHistoryGroup>, nullptr};
const THistoryActionClass TControlDestroyHistoryGroup::ClassInfo{
    "TControlDestroyHistoryGroup", &TCreateDestroyHistoryGroup::ClassInfo,
    &CreateHistoryAction<TControlDestroyHistoryGroup>, nullptr};

void TCreateDestroyHistoryGroup::BeginRecord(TVexaObject* source) {
  if (IDocControl* control = dynamic_cast<IDocControl*>(source)) SourceId = control->GetId();
  THistoryGroup::BeginRecord(source);
}

void TCreateDestroyHistoryGroup::SaveInfo(IDocControl& control) {
  panel_ = &control.Panel();
  SourceId = control.GetId();
  parentId_ = control.Parent() ? control.Parent()->GetId() : 0;
  index_ = control.IndexInParent();
}

void TCreateDestroyHistoryGroup::SaveControl(IDocControl& control) {
  if (stream_) {
    stream_->Clear();
  } else {
    stream_ = std::make_unique<TMemoryStream>();
  }
  TVexaFiler filer(*stream_);
  SaveObject(filer, control, {});
}

IDocControl* TCreateDestroyHistoryGroup::RestoreControl() {
  if (!stream_ || !panel_) return nullptr;
  stream_->Seek(0);
  TVexaFiler filer(*stream_);
  IDocControl* parent = parentId_ != 0 ? panel_->FindControl(parentId_) : nullptr;
  std::string line;
  filer.ReadLine(line);
  IDocControl* control = LoadControl(filer, *panel_, parent, true, line);
  if (!control || !parent || index_ < 0 || control->Parent() != parent) return control;
  // The saved index may be beyond the children the parent has now.
  const int target = std::clamp(index_, 0, parent->ChildCount() - 1);
  const int present = control->IndexInParent();
  if (present != target) parent->MoveChild(present, target);
  return control;
}

void TCreateDestroyHistoryGroup::FreeControl(TVexaObject* source) {
  IDocControl* control = dynamic_cast<IDocControl*>(source);
  if (control && panel_) panel_->FreeControl(control);
}

template <class F>
void TCreateDestroyHistoryGroup::Replay(THistoryState state, F&& f) {
  if (State() != THistoryState::Idle) return;
  struct Back {
    TCreateDestroyHistoryGroup& group;
    ~Back() { group.SetState(THistoryState::Idle); }
  } back{*this};
  SetState(state);
  f();
}

void TControlCreateHistoryGroup::RecordAction(TVexaObject* source) {
  if (IDocControl* control = dynamic_cast<IDocControl*>(source)) SaveInfo(*control);
}

void TControlCreateHistoryGroup::UndoAction(TVexaObject* source) {
  Replay(THistoryState::Undoing, [&] {
    IDocControl* control = dynamic_cast<IDocControl*>(source);
    if (!control) return;
    if (!savedAhead_) {
      SaveInfo(*control);
      SaveControl(*control);
    }
    savedAhead_ = false;
    FreeControl(control);
  });
}

void TControlCreateHistoryGroup::SaveAhead(IDocControl& control) {
  SaveInfo(control);
  SaveControl(control);
  savedAhead_ = true;
}

void TControlCreateHistoryGroup::RedoAction(TVexaObject*) {
  Replay(THistoryState::Redoing, [&] { RestoreControl(); });
}

void TControlDestroyHistoryGroup::RecordAction(TVexaObject* source) {
  IDocControl* control = dynamic_cast<IDocControl*>(source);
  if (!control) return;
  SaveInfo(*control);
  SaveControl(*control);
}

// What freeing the control did to others while it went (a connector let go of a member of a
// freed group, a group fitted to the members left) is recorded inside this step: it is put
// back once the control is back, last first, so that links find what they name.
void TControlDestroyHistoryGroup::UndoAction(TVexaObject* source) {
  Replay(THistoryState::Undoing, [&] { RestoreControl(); });
  THistoryGroup::UndoAction(source);
}

void TControlDestroyHistoryGroup::RedoAction(TVexaObject* source) {
  Replay(THistoryState::Redoing, [&] { FreeControl(source); });
  THistoryGroup::RedoAction(nullptr);
}

}  // namespace pv::graphics
