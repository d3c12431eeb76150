// The children of a control: adding (also from another panel), taking out, deleting, moving,
// the layer handed down, and searches.

#include <algorithm>
#include <optional>

#include "actions/CreateDestroyGroups.h"
#include "actions/PanelGroups.h"
#include "controls/RefProps.h"
#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "history/History.h"

namespace pv::graphics {

// --- children

int TVexaControl::IndexOf(const TVexaControl* control) const {
  // Compares pointers only (a caller may ask about a control that is gone). From the back: the children a load appends and a teardown takes are the last ones.
  for (size_t i = children_.size(); i-- > 0;) {
    if (children_[i] == control) return static_cast<int>(i);
  }
  return -1;
}

TVexaControl* TVexaControl::FindChildByName(const std::string& name) const {
  for (TVexaControl* child : children_) {
    if (child->GetName() == name) return child;
  }
  return nullptr;
}

TVexaControl* TVexaControl::FindByID(uint32_t id) {
  if (id == 0) return nullptr;
  TPassControlRec pass;
  for (TVexaControl* c = pass.PassFirst(this); c; c = pass.PassNext()) {
    if (c->GetID() == id) return c;
  }
  return nullptr;
}

bool TVexaControl::IsAncestorOf(const TVexaControl* control) const {
  for (const TVexaControl* p = control ? control->parent_ : nullptr; p; p = p->parent_) {
    if (p == this) return true;
  }
  return false;
}

int TVexaControl::AddChild(TVexaControl* control) {
  // A control can't hold itself or an ancestor: every walk of the tree would never end.
  if (!control || control == this || control->IsAncestorOf(this)) return -1;
  if (control->parent_ == this) return IndexOf(control);
  const bool changesPanel = control->owner_ != owner_;
  // Between panels the old one records a destruction and this one a creation, with nothing
  // recorded here while the control settles in.
  IVexaPanel* oldPanel = changesPanel ? control->owner_ : nullptr;
  // One step in the old panel: what the control hands over to those that stay, then its
  // destruction.
  std::optional<THistoryRecording> leaving;
  if (oldPanel) {
    leaving.emplace(oldPanel->History(), TPanelDestroyControlsHistoryGroup::ClassInfo, oldPanel);
    control->HandOverBeforeLeaving();
  }
  const bool destroyGroup =
      oldPanel && oldPanel->History().BeginAction(TControlDestroyHistoryGroup::ClassInfo, control) != nullptr;
  if (!changesPanel) RecordOrder(*control);
  if (changesPanel && owner_) owner_->History().DisableRecording();
  control->state_ |= csReparenting;
  TVexaControl* oldParent = control->parent_;
  if (oldParent) oldParent->ExtractChild(control);
  if (control->owner_) control->owner_->RemoveParentless(*control);
  if (changesPanel) control->ChangePanel(owner_);
  children_.push_back(control);
  control->parent_ = this;
  control->state_ &= static_cast<uint8_t>(~csReparenting);
  // The group left behind fits itself to the children it kept only now: a connector linked to
  // it reroutes with its rectangle taken where it now stands. Taken while the control hung
  // between the two, the rectangle was undone inside the new parent before the control went
  // back, and it came back shifted by the new parent's place.
  if (oldParent && oldParent->RefitsAfterRemoval()) oldParent->RefitToChildren();
  if (destroyGroup) oldPanel->History().EndAction();
  if (leaving) leaving->End();
  if (layer_ && control->layer_ != layer_) {
    control->SetLayerControl(layer_);
  } else {
    control->Invalidate();
  }
  if (changesPanel && owner_) {
    owner_->History().EnableRecording();
    if (owner_->History().BeginAction(TControlCreateHistoryGroup::ClassInfo, control)) owner_->History().EndAction();
  }
  control->Notify(TVexaNotify::fnParent);
  Notify(TVexaNotify::fnOrder);
  return static_cast<int>(children_.size()) - 1;
}

void TVexaControl::MoveToPanel(IVexaPanel* panel) {
  if (panel == owner_) return;
  if (parent_) parent_->ExtractChild(this);
  if (owner_) owner_->RemoveParentless(*this);
  ChangePanel(panel);
  if (owner_) owner_->AddParentless(*this);
}

void TVexaControl::ChangePanel(IVexaPanel* panel) {
  if (panel == owner_) return;
  if (owner_) {
    owner_->UnfileControlName(*this);
    LeavePanel();
    owner_->SelectControl(*this, false);
    owner_->ReleaseControlId(*this, GetID());
    props_.SetHistory(nullptr);
  }
  owner_ = panel;
  if (owner_) {
    const uint32_t id = owner_->AssignControlId(*this, GetID());
    if (id != GetID()) {
      checkingId_ = true;
      id_->SetValue(id);
      checkingId_ = false;
    }
    props_.SetHistory(&owner_->History());
    owner_->FileControlName(*this);
  }
  layer_ = nullptr;
  for (TVexaControl* child : children_) child->ChangePanel(panel);
}

void TVexaControl::DeleteChild(int index) {
  if (index < 0 || index >= GetCount()) return;
  TVexaControl* child = children_[static_cast<size_t>(index)];
  if (!child->HasState(csDestroying) && !HasState(csExtracting)) {
    child->Free();  // its teardown takes it out of the list
    return;
  }
  child->parent_ = nullptr;
  if (owner_ && !child->HasState(csDestroying)) owner_->AddParentless(*child);
  if (owner_) owner_->SelectControl(*child, false);
  children_.erase(children_.begin() + index);
  // A group fits itself to the children it has left; one that a control leaves for another
  // parent does so once the control has arrived there.
  if (child->HasState(csReparenting)) return;
  if (RefitsAfterRemoval()) RefitToChildren();
  child->Notify(TVexaNotify::fnParent);
  Notify(TVexaNotify::fnOrder);
}

bool TVexaControl::RefitsAfterRemoval() const {
  return !HasState(csDestroying) && !InTransformation() && !(owner_ && owner_->IsLoading());
}

void TVexaControl::RemoveChild(TVexaControl* control) {
  const int index = IndexOf(control);
  if (index >= 0) DeleteChild(index);
}

void TVexaControl::ExtractChild(TVexaControl* control) {
  const int index = IndexOf(control);
  if (index < 0) return;
  state_ |= csExtracting;
  if (owner_) owner_->SelectControl(*control, false);
  control->Invalidate();
  // Through the virtual delete, so that the roots keep their active layer and scheme.
  DeleteChild(index);
  state_ &= static_cast<uint8_t>(~csExtracting);
  if (control->parent_ != this && !control->HasState(csReparenting)) {
    control->parent_ = nullptr;
    control->layer_ = nullptr;
  }
}

void TVexaControl::ClearChildren() {
  for (int i = GetCount() - 1; i >= 0; --i) {
    if (i < GetCount()) DeleteChild(i);
  }
}

void TVexaControl::MoveChild(int from, int to) {
  if (from == to || from < 0 || from >= GetCount() || to < 0 || to >= GetCount()) return;
  TVexaControl* child = children_[static_cast<size_t>(from)];
  RecordOrder(*child);
  children_.erase(children_.begin() + from);
  children_.insert(children_.begin() + to, child);
  child->Invalidate();
  Notify(TVexaNotify::fnOrder);
}

void TVexaControl::SetParent(IDocControl* parent) {
  if (parent) {
    AsVexa(parent)->AddChild(this);
  } else if (parent_) {
    parent_->ExtractChild(this);
  }
}

void TVexaControl::TakeOffLeavingLayer(TVexaControl& control, TVexaControl* layer) {
  control.layerLeaving_ = true;
  try {
    control.SetLayerControl(layer);
  } catch (...) {
    control.layerLeaving_ = false;
    throw;
  }
  control.layerLeaving_ = false;
}

void TVexaControl::SetLayer(IDocControl* layer) { SetLayerControl(AsVexa(layer)); }

void TVexaControl::SetLayerControl(TVexaControl* layer) {
  if (layer == layer_ || !owner_) return;
  if (layer && layer->owner_ != owner_) return;
  if (props_.IsReadOnly(*layerProp_)) return;
  layerProp_->DoBeforeChanged();
  layer_ = layer;
  layerProp_->DoChanged();
  if (!IsSelectable() && IsSelected()) SetSelected(false);
  // While a load resolves its references, children keep the layers they were stored with,
  // none included (theirs are resolved before their parent's). Undo and redo give each child
  // the layer its own step recorded: a child on a layer of its own would lose it here.
  if (!props_.IsResolving() && !HistoryReplays()) {
    for (TVexaControl* child : children_) child->SetLayerControl(layer);
  }
  Invalidate();
}

}  // namespace pv::graphics
