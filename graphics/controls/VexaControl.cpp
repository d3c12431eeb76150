#include "controls/VexaControl.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <stdexcept>

#include "actions/CreateDestroyGroups.h"
#include "actions/GeometryActions.h"
#include "actions/OrderHistoryAction.h"
#include "actions/PanelGroups.h"
#include "controls/RefProps.h"
#include "controls/VexaPanel.h"
#include "history/History.h"

namespace pv::graphics {

const TVexaControlClass TVexaControl::ClassInfo{{"TVexaControl", nullptr}, &TVexaControl::Creator<TVexaControl>};

namespace {

bool IsGeometry(std::string_view name) {
  return name == "Left" || name == "Top" || name == "Width" || name == "Height";
}

// What each class's properties took at its last creation: their number and their bytes (the
// library runs on one thread).
struct TPropFootprint {
  int count = 0;
  size_t bytes = 0;
};
TPropFootprint& PropFootprintOfClass(const TVexaControlClass& cls) {
  static std::unordered_map<const TVexaControlClass*, TPropFootprint> footprints;
  return footprints[&cls];
}

}  // namespace

// --- creation and destruction

void TVexaControl::Construct(IVexaPanel* panel, TVexaControl* parent, TVexaControl* layer) {
  state_ = csCreating;
  owner_ = panel;
  try {
    InitControl(parent, layer);
  } catch (...) {
    // A control that never came to be leaves no destruction to undo.
    THistory* history = panel ? &panel->History() : nullptr;
    if (history) history->DisableRecording();
    try {
      Free();
    } catch (...) {
      // The creation's own error is the one the caller hears of.
    }
    if (history) history->EnableRecording();
    throw;
  }
}

void TVexaControl::InitControl(TVexaControl* parent, TVexaControl* layer) {
  props_.SetEvents(&ControlEvents());
  // The list and the properties are made at the size the class needed last time: the list
  // in one allocation with no slack, the properties in one block (a document holds many
  // controls of few classes).
  TPropFootprint& expected = PropFootprintOfClass(ClassType());
  props_.Reserve(expected.count);
  std::byte* block = nullptr;
  if (expected.bytes > 0) block = props_.TakeBlock(std::unique_ptr<std::byte[]>(new std::byte[expected.bytes]));
  TPropArena arena(block, expected.bytes, &props_);
  CreateProperties();
  arena.Close();
  if (props_.Count() != expected.count) {
    expected.count = props_.Count();
    props_.ShrinkToFit();
  }
  expected.bytes = arena.Asked();
  props_.ShareLayout();
  propertiesCreated_ = true;
  if (parent) parent->AddChild(this);
  if (!parent_ && owner_) owner_->AddParentless(*this);
  // No layer given: the one the parent handed down stays.
  if (layer) layer_ = layer;
  IVexaPanel* panel = owner_;
  try {
    ControlCreate();
  } catch (...) {
    CloseHistoryGroup(true);
    throw;
  }
  state_ &= static_cast<uint8_t>(~csCreating);
  if (owner_) props_.SetHistory(&owner_->History());
  if (owner_ == panel) CloseHistoryGroup(false);
}

void TVexaControl::CreateProperties() {
  TPropList& p = props_;
  id_ = p.Create<TLongWordProp>("ID");
  id_->SetFlags(pfNew | pfNoRepaint);
  tag_ = p.Create<TIntProp>("Tag");
  tag_->SetFlags(pfNew | pfNoRepaint);
  name_ = p.Create<TStrProp>("Name");
  name_->SetFlags(pfNew | pfNotStored | pfNoRepaint);
  left_ = p.Create<TIntProp>("Left");
  top_ = p.Create<TIntProp>("Top");
  width_ = p.Create<TIntProp>("Width");
  height_ = p.Create<TIntProp>("Height");
  for (TIntProp* g : {left_, top_, width_, height_}) g->SetFlags(pfNew | pfThousandths);
  visible_ = p.Create<TBoolProp>("Visible");
  visible_->SetFlags(pfNotStored);
  hint_ = p.Create<TStrListProp>("Hint");
  hint_->SetFlags(pfNew | pfNoRepaint);
  showHint_ = p.Create<TBoolProp>("ShowHint");
  showHint_->SetFlags(pfNew | pfNoRepaint);
  showHint_->SetValue(true);
  layerProp_ = p.Create<TLayerProp>("Layer", *this);
  layerProp_->SetFlags(pfNew | pfReference);
  reference_ = p.Create<TSchemeRefProp>("Reference");
  reference_->SetFlags(pfNew | pfNoRepaint | pfReference);
  userData_ = p.Create<TUserDataProp>("UserData");
  transparency_ = p.Create<TIntProp>("Transparency");
  selectable_ = p.Create<TBoolProp>("Selectable");
  selectable_->SetFlags(pfNoRepaint);
  selectable_->SetValue(true);
}

void TVexaControl::ControlCreate() {
  if (owner_) {
    if (!owner_->IsLoading()) {
      checkingId_ = true;
      id_->SetValue(owner_->AssignControlId(*this, 0));
      checkingId_ = false;
      if (owner_->AutoNames() && GetName().empty()) SetName(owner_->DefaultName(*this, owner_->AutoNameNumbs()));
    }
    OpenHistoryGroup(true);
  }
  SetShowHint(true);
  SetSelectable(true);
  Notify(TVexaNotify::fnCreated);
}

void TVexaControl::Free() {
  if (HasState(csDestroying)) return;
  state_ |= csDestroying;
  try {
    DoDestroy();
  } catch (...) {
    delete this;
    throw;
  }
  delete this;
}

void TVexaControl::DoDestroy() {
  if (!HasState(csDestroying)) return;
  if (link_) link_->DestroyNotify();
  try {
    ControlDestroy();
    ClearChildren();
    if (parent_) parent_->ExtractChild(this);
    if (owner_) {
      owner_->SelectControl(*this, false);
      owner_->ReleaseControlId(*this, GetID());
      owner_->RemoveParentless(*this);
      owner_->UnfileControlName(*this);
    }
  } catch (...) {
    CloseHistoryGroup(true);
    throw;
  }
  CloseHistoryGroup(false);
}

void TVexaControl::ControlDestroy() {
  OpenHistoryGroup(false);
  Notify(TVexaNotify::fnDestroyed);
}

TVexaControl::~TVexaControl() {
  // Only a failed teardown gets here with a tree left: take the control out of it so that
  // nothing points at freed memory.
  for (size_t i = children_.size(); i-- > 0;) {
    TVexaControl* child = children_[i];
    child->parent_ = nullptr;
    child->Free();
  }
  if (parent_) {
    parent_->ChildGone(*this);
    std::erase(parent_->children_, this);
  }
  if (owner_) owner_->UnfileControlName(*this);
  if (owner_ && propertiesCreated_) owner_->RemoveParentless(*this);
  props_.Dispose();
}

void TVexaControl::NameChanged() {
  if (owner_) owner_->FileControlName(*this);
  if (parent_) parent_->ChildRenamed(*this);
}

TVexaControl::Events& TVexaControl::ControlEvents() {
  static Events events;
  return events;
}

const TRect& TVexaControl::SavedRect() const {
  static const TRect none{};
  return extras_ ? extras_->savedRect : none;
}

TVexaControl::TExtras& TVexaControl::Extras() {
  if (!extras_) extras_ = std::make_unique<TExtras>();
  return *extras_;
}

IDocPanel& TVexaControl::Panel() const {
  if (!owner_) throw std::logic_error("The control belongs to no document");
  return *owner_;
}

void TVexaControl::OpenHistoryGroup(bool creation) {
  if (!owner_) return;
  const THistoryActionClass& cls = creation ? TControlCreateHistoryGroup::ClassInfo : TControlDestroyHistoryGroup::ClassInfo;
  if (!owner_->History().BeginAction(cls, this)) return;
  state_ = creation ? csHistoryGroup : static_cast<uint8_t>(state_ | csHistoryGroup);
}

void TVexaControl::CloseHistoryGroup(bool cancel) {
  if (!HasState(csHistoryGroup)) return;
  state_ &= static_cast<uint8_t>(~csHistoryGroup);
  if (!owner_) return;
  if (cancel) {
    owner_->History().CancelAction();
  } else {
    owner_->History().EndAction();
  }
}

void TVexaControl::RecordOrder(TVexaControl& control) {
  if (owner_) owner_->History().RecordStep(TOrderHistoryAction::ClassInfo, &control);
}

bool TVexaControl::IsHistorySource() const { return owner_ && Owns(owner_->History().GetCurrentSource()); }

bool TVexaControl::HistoryReplays() const { return owner_ && owner_->History().Replaying(); }

bool TVexaControl::Owns(const TVexaObject* object) const {
  if (!object) return false;
  if (object == static_cast<const TVexaObject*>(this)) return true;
  const auto* prop = dynamic_cast<const TCustomProp*>(object);
  return prop && prop->OwnerList() == &props_;
}

// --- properties

TVexaControl* TVexaControl::GetReference() const { return reference_->GetScheme(); }

void TVexaControl::SetReference(TVexaControl* scheme) { reference_->SetScheme(scheme); }

bool TVexaControl::IsSelected() const { return owner_ && owner_->IsControlSelected(*this); }

void TVexaControl::SetSelected(bool selected) {
  if (owner_) owner_->SelectControl(*this, selected);
}

TVexaControl* TVexaControl::GetScheme() const {
  for (TVexaControl* p = parent_; p; p = p->parent_) {
    if (p->IsCustomScheme()) return p;
  }
  return nullptr;
}

void TVexaControl::PropBeforeChanged(TCustomProp& prop) {
  const std::string_view name = prop.Name();
  if (IsGeometry(name) && updateCount_ == 0) {
    updateRect_ = GetDocRect();
    if (HasLinkPoints()) extras_->linkBaseRect = updateRect_;
  }
  if (&prop == id_) lastId_ = id_->GetValue();
  if (!prop.HasFlag(pfNoRepaint)) Invalidate();
  if (owner_) owner_->ControlPropBeforeChanged(*this, prop);
  if (link_) link_->PropNotify(&prop, true);
}

void TVexaControl::PropChanged(TCustomProp& prop) {
  const std::string_view name = prop.Name();
  if (&prop == width_ && GetWidth() < 1) {
    SetWidth(1);
    return;
  }
  if (&prop == height_ && GetHeight() < 1) {
    SetHeight(1);
    return;
  }
  if (IsGeometry(name)) Notify(TVexaNotify::fnRect);
  if (&prop == name_) Notify(TVexaNotify::fnName);
  if (&prop == id_ && !checkingId_ && owner_ && id_->GetValue() != lastId_) {
    const uint32_t wanted = id_->GetValue();
    const uint32_t given = owner_->CheckControlId(*this, lastId_, wanted);
    if (given != wanted) {
      checkingId_ = true;
      id_->SetValue(given);
      checkingId_ = false;
    }
    if (given != lastId_) Notify(TVexaNotify::fnID);
  }
  if (&prop == selectable_ && !GetSelectable() && IsSelected()) SetSelected(false);
  if (!prop.HasFlag(pfNoRepaint)) Invalidate();
  if (owner_) owner_->ControlPropChanged(*this, prop);
  if (link_) link_->PropNotify(&prop, false);
}

void TVexaControl::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  if (!subName.empty()) return;
  if (&prop == tag_) stored = GetTag() != 0;
  if (&prop == hint_) stored = hint_->GetCount() > 0;
  if (&prop == showHint_) stored = !GetShowHint();
  if (&prop == reference_) stored = GetReference() != nullptr;
  if (&prop == userData_) stored = userData_->GetCount() > 0;
  if (&prop == transparency_) stored = GetTransparency() > 0;
  if (&prop == selectable_) stored = !GetSelectable();
}

void TVexaControl::PropReadOnly(TCustomProp& prop, bool& readOnly) {
  // The panel's ID assignment is no user change: a read-only layer does not refuse it.
  if (!layer_ || layer_ == this || (&prop == id_ && checkingId_) || (&prop == layerProp_ && layerLeaving_)) return;
  const auto* layerReadOnly = dynamic_cast<const TBoolProp*>(layer_->Props().PropByName("ReadOnly"));
  if (layerReadOnly && layerReadOnly->GetValue()) {
    readOnly = true;
    return;
  }
  const auto* moveable = dynamic_cast<const TBoolProp*>(layer_->Props().PropByName("Moveable"));
  if (moveable && !moveable->GetValue() && IsGeometry(prop.Name())) readOnly = true;
}

// --- notifications and updates

TNotifyLink* TVexaControl::GetNotifyLink() {
  if (HasState(csDestroying)) return nullptr;
  if (!link_) link_ = std::make_unique<TNotifyLink>(this);
  return link_.get();
}

void TVexaControl::Notify(TVexaNotify code) {
  if (code == TVexaNotify::fnRect && updateCount_ > 0) {
    pendingRect_ = true;
    return;
  }
  if (code == TVexaNotify::fnRect && owner_) RecordSizeChange();
  if ((code == TVexaNotify::fnRect || code == TVexaNotify::fnParent) && parent_ && parent_->IsGroup() &&
      !InTransformation() && !(owner_ && owner_->IsLoading())) {
    parent_->RefitToChildren();
  }
  if ((code == TVexaNotify::fnRect || code == TVexaNotify::fnParent) && rotationCount_ == 0 && HasLinkPoints()) {
    const TRect base = extras_->linkBaseRect;  // the update bracket below moves the field
    const TRect now = GetDocRect();
    TransformPoints(base, now);
    extras_->linkBaseRect = now;
  }
  if (code == TVexaNotify::fnLinkPoints && updateCount_ > 0) {
    pendingLinkPoints_ = true;
    return;
  }
  if (owner_) owner_->ControlNotify(*this, code);
  if (link_) link_->ControlNotify(this, code);
}

// The rectangle of a whole update is one undo step; single property changes record
// themselves. A control with children records, in one size-move group, its descendants as
// its bracket found them, then itself: undo restores the control first (which leaves
// its children where they are) and then each descendant to where it was, every group before
// its own children, since a group's rectangle carries its children along.
void TVexaControl::RecordSizeChange() {
  THistory& history = owner_->History();
  if (!history.CanRecord() || history.RecordingDisabled() || !InUpdate()) return;
  // An ancestor's bracket is under way and records this control with its own step.
  if (AncestorRecordsSizeMove()) return;
  const auto recordOwnStep = [&] {
    if (!HasPoints()) {
      history.RecordStep(TDocRectHistoryAction::ClassInfo, this);
      return;
    }
    // A new points step took the rectangle the control has now; undo returns to the one the
    // bracket began with (the points are relative to it). None comes back when the open
    // group already holds an earlier state of the control, and a transformation keeps its
    // own saved state.
    auto* step = dynamic_cast<TPointsHistoryAction*>(history.RecordStep(TPointsHistoryAction::ClassInfo, this));
    if (step && !InTransformation()) step->TakeUpdateRect(*this);
  };
  if (!HasSizeMoveSnapshot()) {
    recordOwnStep();
    return;
  }
  std::optional<THistoryRecording> group;
  if (!history.OpenGroup()) group.emplace(history, TPanelSizeMoveHistoryGroup::ClassInfo, this);
  RecordDescendantSizeMoves(history);
  recordOwnStep();
  if (group) group->End();
}

void TVexaControl::TakeSizeMoveSnapshot() {
  if (extras_) extras_->sizeMoveSnapshot.clear();
  if (!owner_ || children_.empty() || AncestorRecordsSizeMove()) return;
  THistory& history = owner_->History();
  if (!history.CanRecord() || history.RecordingDisabled()) return;
  TPassControlRec pass;
  pass.PassFirst(this);
  for (TVexaControl* c = pass.PassNext(); c; c = pass.PassNext()) {
    // A descendant inside its own update bracket (a clone following it made this control
    // refit) records its own step when that bracket ends, after this one: undone first, it
    // leaves the descendant to this step, which then puts it where its bracket began.
    TSizeMoveSnapshot entry{c, c->UpdateCount() > 0 ? c->UpdateRect() : c->GetDocRect(), {}, {}};
    if (c->HasPoints()) c->GetPointsEx(entry.points, entry.types);
    // One below a descendant in a bracket of its own (a clone of that descendant made this
    // control refit while it resized its children) may have moved already: that bracket's
    // step, undone first, puts it back, and this one must not then move it again.
    for (const TVexaControl* p = c->parent_; p && p != this; p = p->parent_) {
      if (!p->HasSizeMoveSnapshot()) continue;
      for (const TSizeMoveSnapshot& inner : p->extras_->sizeMoveSnapshot) {
        if (inner.control == c) entry = inner;
      }
      break;
    }
    Extras().sizeMoveSnapshot.push_back(std::move(entry));
  }
}

void TVexaControl::RecordDescendantSizeMoves(THistory& history) {
  std::unordered_set<TVexaControl*> alive;
  TPassControlRec pass;
  pass.PassFirst(this);
  for (TVexaControl* c = pass.PassNext(); c; c = pass.PassNext()) alive.insert(c);
  if (!extras_) return;
  // The snapshot lists parents before their children; undo runs the steps backwards. A
  // descendant the bracket left in place is recorded too: a later part of the same command
  // (the resize after a mirror, the turn of a group that fitted itself to a clone first) may
  // still move it, and that step, coming after this control's, would be undone before this
  // control is back. One in an update bracket of its own is left to that bracket, which
  // knows where it began.
  for (auto it = extras_->sizeMoveSnapshot.rbegin(); it != extras_->sizeMoveSnapshot.rend(); ++it) {
    TSizeMoveSnapshot& entry = *it;
    TVexaControl* c = entry.control;
    if (!alive.count(c)) continue;
    if (c->HasPoints()) {
      std::vector<TPoint> points;
      std::vector<uint8_t> types;
      c->GetPointsEx(points, types);
      if (c->InUpdate() && c->GetDocRect() == entry.rect && points == entry.points && types == entry.types) continue;
      if (auto* step = dynamic_cast<TPointsHistoryAction*>(history.RecordStep(TPointsHistoryAction::ClassInfo, c)))
        step->SetRecorded(entry.rect, std::move(entry.points), std::move(entry.types));
    } else {
      if (c->InUpdate() && c->GetDocRect() == entry.rect) continue;
      if (auto* step = dynamic_cast<TDocRectHistoryAction*>(history.RecordStep(TDocRectHistoryAction::ClassInfo, c)))
        step->SetRecordedRect(entry.rect);
    }
  }
}

bool TVexaControl::AncestorRecordsSizeMove() const {
  for (const TVexaControl* p = parent_; p; p = p->parent_)
    if (p->HasSizeMoveSnapshot()) return true;
  return false;
}

bool TVexaControl::BeginUpdate() {
  if (updateCount_ == 0) {
    Invalidate();
    pendingRect_ = false;
    pendingLinkPoints_ = false;
    updateRect_ = GetDocRect();
    if (!HasState(csInEndUpdate)) SetLinkBaseRect(updateRect_);
    TakeSizeMoveSnapshot();
  }
  return ++updateCount_ == 1;
}

bool TVexaControl::EndUpdate() {
  if (updateCount_ == 0) return false;
  state_ |= csInEndUpdate;
  const bool last = --updateCount_ == 0;
  if (last) {
    if (pendingRect_) {
      pendingRect_ = false;
      Notify(TVexaNotify::fnRect);
    }
    if (extras_) extras_->sizeMoveSnapshot.clear();
    if (pendingLinkPoints_) {
      pendingLinkPoints_ = false;
      Notify(TVexaNotify::fnLinkPoints);
    }
    Invalidate();
  }
  state_ &= static_cast<uint8_t>(~csInEndUpdate);
  return last;
}

bool TVexaControl::IsUniqueName(bool checkEmpty, bool checkSiblings) const {
  const std::string name = GetName();
  if (checkEmpty && name.empty()) return false;
  if (!checkSiblings || !parent_) return true;
  for (const TVexaControl* sibling : parent_->children_) {
    if (sibling != this && sibling->GetName() == name) return false;
  }
  return true;
}

bool TVexaControl::IsSelectable() const {
  if (!GetSelectable()) return false;
  if (layer_ && layer_ != this && !layer_->GetSelectable()) return false;
  for (const TVexaControl* p = parent_; p; p = p->parent_) {
    if (!p->GetSelectable()) return false;
  }
  return true;
}

}  // namespace pv::graphics
