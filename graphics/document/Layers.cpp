#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "controls/VexaPanel.h"
#include "document/ServiceControls.h"

namespace pv::graphics {

const TVexaControlClass TVexaServiceControl::ClassInfo{{"TVexaServiceControl", &TVexaControl::ClassInfo.ref},
                                                       &TVexaControl::Creator<TVexaServiceControl>};
const TVexaControlClass TVexaLayer::ClassInfo{{"TVexaLayer", &TVexaServiceControl::ClassInfo.ref},
                                              &TVexaControl::Creator<TVexaLayer>};
const TVexaControlClass TVexaLayers::ClassInfo{{"TVexaLayers", &TVexaServiceControl::ClassInfo.ref},
                                               &TVexaControl::Creator<TVexaLayers>};

void TUniqueNameRule::After(TVexaControl& control) {
  if (restoring_) return;
  if (!control.IsUniqueName(true, true)) {
    // The restoring write is not checked again: an old name that is refused as well would
    // otherwise bounce between the two for ever.
    restoring_ = true;
    control.SetName(control.GetName() != oldName_ ? oldName_ : std::string());
    restoring_ = false;
  }
  oldName_.clear();
}

void TVexaServiceControl::PropBeforeChanged(TCustomProp& prop) {
  if (keepNameUnique_ && &prop == name_) nameRule_.Before(*this);
  TVexaControl::PropBeforeChanged(prop);
}

void TVexaServiceControl::PropChanged(TCustomProp& prop) {
  if (keepNameUnique_ && &prop == name_) nameRule_.After(*this);
  TVexaControl::PropChanged(prop);
}

bool TVexaServiceControl::IsUniqueName(bool checkEmpty, bool checkSiblings) const {
  const auto* root = checkSiblings ? dynamic_cast<const TVexaServiceRoot*>(GetParent()) : nullptr;
  if (!root) return TVexaControl::IsUniqueName(checkEmpty, checkSiblings);
  const std::string name = GetName();
  if (checkEmpty && name.empty()) return false;
  return !root->HasOtherChildNamed(name, *this);
}

void TVexaServiceControl::HideProps(std::initializer_list<TCustomProp*> props) {
  for (TCustomProp* p : props) p->SetFlags(pfReadOnly | pfNotStored | pfNoRepaint);
}

void TVexaServiceControl::FollowDocumentSize() {
  width_->SetOnGetValue([this] { return Owner() ? Owner()->DocWidth() : 0; });
  height_->SetOnGetValue([this] { return Owner() ? Owner()->DocHeight() : 0; });
}

// --- TVexaServiceRoot

int TVexaServiceRoot::AddChild(TVexaControl* control) {
  if (!control || !Holds(*control)) return -1;
  const int index = TVexaControl::AddChild(control);
  if (index < 0) return index;
  IndexChild(*control);
  Notify(ChildrenNotify());
  if (Owner() && !Active()) SetActive(control);
  return index;
}

void TVexaServiceRoot::DeleteChild(int index) {
  if (index < 0 || index >= GetCount()) return;
  TVexaControl* child = GetChild(index);
  // Only the call that takes the entry out moves the active one; a plain delete frees the
  // child, whose teardown comes back here to take it out.
  const bool removes = HasState(csExtracting) || child->HasState(csDestroying);
  TVexaControl::DeleteChild(index);
  if (!removes) return;
  UnindexChild(*child);
  if (Owner() && Active() == child) {
    // The child now at its index, else the one before, else none.
    TVexaControl* next = nullptr;
    if (index < GetCount()) {
      next = GetChild(index);
    } else if (index > 0 && index - 1 < GetCount()) {
      next = GetChild(index - 1);
    }
    SetActive(next);
  }
  Notify(ChildrenNotify());
}

TVexaControl* TVexaServiceRoot::ChildByName(const std::string& name) const {
  const auto [first, last] = byName_.equal_range(name);
  if (first == last) return nullptr;
  // Namesakes (the rule lets a loaded document keep them): the first in the children's order.
  if (std::next(first) != last || first->second->GetName() != name) return FindChildByName(name);
  return first->second;
}

bool TVexaServiceRoot::HasOtherChildNamed(const std::string& name, const TVexaControl& control) const {
  const auto [first, last] = byName_.equal_range(name);
  for (auto it = first; it != last; ++it) {
    if (it->second != &control && it->second->GetName() == name) return true;
  }
  return false;
}

void TVexaServiceRoot::ChildRenamed(TVexaControl& child) {
  if (child.GetParent() != this) return;
  UnindexChild(child);
  IndexChild(child);
}

void TVexaServiceRoot::ChildGone(const TVexaControl& child) { UnindexChild(child); }

void TVexaServiceRoot::IndexChild(TVexaControl& child) {
  if (filedName_.count(&child)) return;
  std::string name = child.GetName();
  byName_.emplace(name, &child);
  filedName_.emplace(&child, std::move(name));
}

void TVexaServiceRoot::UnindexChild(const TVexaControl& child) {
  const auto filed = filedName_.find(&child);
  if (filed == filedName_.end()) return;
  const auto [first, last] = byName_.equal_range(filed->second);
  for (auto it = first; it != last; ++it) {
    if (it->second == &child) {
      byName_.erase(it);
      break;
    }
  }
  filedName_.erase(filed);
}

void TVexaServiceRoot::MoveChild(int from, int to) {
  TVexaControl::MoveChild(from, to);
  Notify(ChildrenNotify());
}

// --- TVexaLayer

void TVexaLayer::CreateProperties() {
  TVexaControl::CreateProperties();
  KeepNameUnique();
  moveable_ = Props().Create<TBoolProp>("Moveable");
  moveable_->SetFlags(pfNew | pfNoRepaint);
  moveable_->SetValue(true);
  readOnly_ = Props().Create<TBoolProp>("ReadOnly");
  readOnly_->SetFlags(pfNew | pfNoRepaint);
  HideProps({left_, top_, width_, height_, layerProp_, reference_});
  visible_->SetFlags(pfNew);
}

void TVexaLayer::ControlCreate() {
  SetSelectable(true);
  SetMoveable(true);
  if (Owner() && !Owner()->IsLoading()) SetName(Owner()->DefaultName(*this, true));
  TVexaControl::ControlCreate();
  SetVisible(true);
}

void TVexaLayer::ControlDestroy() {
  // Every control drawn on this layer goes with it, wherever it lies: in a scheme, nested in
  // a group or parentless. A control inside another one that goes is freed by that one.
  if (IVexaPanel* panel = Owner()) {
    std::vector<TVexaControl*> doomed;
    panel->ForEachControl([&](TVexaControl& c) {
      if (c.GetLayer() == this) doomed.push_back(&c);
    });
    const std::set<TVexaControl*> set(doomed.begin(), doomed.end());
    std::erase_if(doomed, [&](TVexaControl* c) {
      for (TVexaControl* p = c->GetParent(); p; p = p->GetParent()) {
        if (set.count(p)) return true;
      }
      return false;
    });
    for (size_t i = doomed.size(); i-- > 0;) doomed[i]->Free();
  }
  TVexaControl::ControlDestroy();
}

void TVexaLayer::HandOverBeforeLeaving() {
  IVexaPanel* panel = Owner();
  if (!panel || !GetParent()) return;
  TVexaControl* heir = panel->GetActiveLayer() != this ? panel->GetActiveLayer() : nullptr;
  for (int i = 0; !heir && i < GetParent()->GetCount(); ++i) {
    if (GetParent()->GetChild(i) != this) heir = GetParent()->GetChild(i);
  }
  if (!heir) return;
  std::vector<TVexaControl*> on;
  panel->ForEachControl([&](TVexaControl& c) {
    if (c.GetLayer() == this) on.push_back(&c);
  });
  for (TVexaControl* c : on) {
    if (c->GetLayer() == this) TakeOffLeavingLayer(*c, heir);
  }
}

void TVexaLayer::LeavePanel() {
  Owner()->ForEachControl([this](TVexaControl& c) {
    if (c.GetLayer() == this) {
      DropLayer(c);
      c.Invalidate();
    }
  });
}

void TVexaLayer::PropChanged(TCustomProp& prop) {
  if (&prop == selectable_ && !GetSelectable() && Owner()) {
    const std::vector<IDocControl*> selection = Owner()->Selection();
    for (size_t i = selection.size(); i-- > 0;) {
      if (selection[i]->Layer() == this) Owner()->SelectControl(*AsVexa(selection[i]), false);
    }
  }
  TVexaServiceControl::PropChanged(prop);
}

void TVexaLayer::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaControl::PropStored(prop, subName, stored);
  if (!subName.empty()) return;
  if (&prop == moveable_) stored = !GetMoveable();
  if (&prop == readOnly_) stored = GetReadOnly();
}

void TVexaLayer::Invalidate() {
  if (Owner() && Owner()->HasWindow() && UpdateCount() == 0) Owner()->InvalidateAll();
}

// --- TVexaLayers

void TVexaLayers::ControlCreate() {
  SetNoSelfPaint(true);
  TVexaControl::ControlCreate();
  SetVisible(false);
  SetName("Layers");
}

TVexaLayer* TVexaLayers::NewLayer() { return TVexaControl::New<TVexaLayer>(Owner(), this, nullptr); }

TVexaLayer* TVexaLayers::ByName(const std::string& name) const {
  return static_cast<TVexaLayer*>(ChildByName(name));
}

TVexaControl* TVexaLayers::Active() const { return Owner() ? Owner()->GetActiveLayer() : nullptr; }

void TVexaLayers::SetActive(TVexaControl* control) {
  if (Owner()) Owner()->SetActiveLayer(control);
}

}  // namespace pv::graphics
