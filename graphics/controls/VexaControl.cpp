#include "controls/VexaControl.h"

#include <algorithm>
#include <stdexcept>

#include "actions/CreateDestroyGroups.h"
#include "actions/GeometryActions.h"
#include "actions/OrderHistoryAction.h"
#include "base/TextHelpers.h"
#include "controls/RefProps.h"
#include "controls/VexaPanel.h"
#include "history/History.h"
#include "paint/AlphaBuffer.h"
#include "props/PropRefList.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {

const TVexaControlClass TVexaControl::ClassInfo{{"TVexaControl", nullptr}, &TVexaControl::Creator<TVexaControl>};

namespace {

bool IsGeometry(std::string_view name) {
  return name == "Left" || name == "Top" || name == "Width" || name == "Height";
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
  props_ = std::make_unique<TPropList>(this);
  props_->SetEvents(&events_);
  CreateProperties();
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
  if (owner_) props_->SetHistory(&owner_->History());
  if (owner_ == panel) CloseHistoryGroup(false);
}

void TVexaControl::CreateProperties() {
  TPropList& p = *props_;
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
  if (parent_) std::erase(parent_->children_, this);
  if (owner_ && propertiesCreated_) owner_->RemoveParentless(*this);
  props_.reset();
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

bool TVexaControl::Owns(const TVexaObject* object) const {
  if (!object) return false;
  if (object == static_cast<const TVexaObject*>(this)) return true;
  const auto* prop = dynamic_cast<const TCustomProp*>(object);
  return prop && prop->OwnerList() == props_.get();
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
    if (!linkPoints_.empty()) linkBaseRect_ = updateRect_;
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
  if (!layer_ || layer_ == this || (&prop == id_ && checkingId_)) return;
  const auto* layerReadOnly = dynamic_cast<const TBoolProp*>(layer_->Props().PropByName("ReadOnly"));
  if (layerReadOnly && layerReadOnly->GetValue()) {
    readOnly = true;
    return;
  }
  const auto* moveable = dynamic_cast<const TBoolProp*>(layer_->Props().PropByName("Moveable"));
  if (moveable && !moveable->GetValue() && IsGeometry(prop.Name())) readOnly = true;
}

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
  const bool destroyGroup =
      oldPanel && oldPanel->History().BeginAction(TControlDestroyHistoryGroup::ClassInfo, control) != nullptr;
  if (!changesPanel) RecordOrder(*control);
  if (changesPanel && owner_) owner_->History().DisableRecording();
  control->state_ |= csReparenting;
  if (control->parent_) control->parent_->ExtractChild(control);
  if (control->owner_) control->owner_->RemoveParentless(*control);
  if (changesPanel) control->ChangePanel(owner_);
  children_.push_back(control);
  control->parent_ = this;
  control->state_ &= static_cast<uint8_t>(~csReparenting);
  if (destroyGroup) oldPanel->History().EndAction();
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
    owner_->SelectControl(*this, false);
    owner_->ReleaseControlId(*this, GetID());
    props_->SetHistory(nullptr);
  }
  owner_ = panel;
  if (owner_) {
    const uint32_t id = owner_->AssignControlId(*this, GetID());
    if (id != GetID()) {
      checkingId_ = true;
      id_->SetValue(id);
      checkingId_ = false;
    }
    props_->SetHistory(&owner_->History());
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
  // A group fits itself to the children it has left.
  if (!HasState(csDestroying) && !InTransformation() && !(owner_ && owner_->IsLoading())) RefitToChildren();
  if (child->HasState(csReparenting)) return;
  child->Notify(TVexaNotify::fnParent);
  Notify(TVexaNotify::fnOrder);
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

void TVexaControl::SetLayer(IDocControl* layer) { SetLayerControl(AsVexa(layer)); }

void TVexaControl::SetLayerControl(TVexaControl* layer) {
  if (layer == layer_ || !owner_) return;
  if (layer && layer->owner_ != owner_) return;
  if (props_->IsReadOnly(*layerProp_)) return;
  layerProp_->DoBeforeChanged();
  layer_ = layer;
  layerProp_->DoChanged();
  if (!IsSelectable() && IsSelected()) SetSelected(false);
  for (TVexaControl* child : children_) child->SetLayerControl(layer);
  Invalidate();
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
  if ((code == TVexaNotify::fnRect || code == TVexaNotify::fnParent) && rotationCount_ == 0 && !linkPoints_.empty()) {
    const TRect base = linkBaseRect_;  // the update bracket below moves the field
    const TRect now = GetDocRect();
    TransformPoints(base, now);
    linkBaseRect_ = now;
  }
  if (code == TVexaNotify::fnLinkPoints && updateCount_ > 0) {
    pendingLinkPoints_ = true;
    return;
  }
  if (owner_) owner_->ControlNotify(*this, code);
  if (link_) link_->ControlNotify(this, code);
}

// The rectangle of a whole update is one undo step; single property changes record
// themselves.
void TVexaControl::RecordSizeChange() {
  THistory& history = owner_->History();
  if (!history.CanRecord() || history.RecordingDisabled() || !InUpdate()) return;
  history.RecordStep(HasPoints() ? TPointsHistoryAction::ClassInfo : TDocRectHistoryAction::ClassInfo, this);
}

bool TVexaControl::BeginUpdate() {
  if (updateCount_ == 0) {
    Invalidate();
    pendingRect_ = false;
    pendingLinkPoints_ = false;
    updateRect_ = GetDocRect();
    if (!HasState(csInEndUpdate)) linkBaseRect_ = updateRect_;
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

// --- geometry

TRect TVexaControl::GetDocRect() const {
  TRect r{GetLeft(), GetTop(), GetLeft() + GetWidth(), GetTop() + GetHeight()};
  for (const TVexaControl* p = parent_; p; p = p->parent_) {
    r.left += p->GetLeft();
    r.right += p->GetLeft();
    r.top += p->GetTop();
    r.bottom += p->GetTop();
  }
  return r;
}

void TVexaControl::SetDocRect(const TRect& rect) {
  int32_t dx = 0;
  int32_t dy = 0;
  for (const TVexaControl* p = parent_; p; p = p->parent_) {
    dx += p->GetLeft();
    dy += p->GetTop();
  }
  BeginUpdate();
  SetLeft(rect.left - dx);
  SetTop(rect.top - dy);
  SetWidth(rect.right - rect.left);
  SetHeight(rect.bottom - rect.top);
  EndUpdate();
}

TRect TVexaControl::GetPixelRect() const { return owner_ ? owner_->DocToPixelRect(GetDocRect()) : TRect{}; }

TRect TVexaControl::GetRefreshRect(int32_t x, int32_t y) const { return {x, y, x + GetWidth(), y + GetHeight()}; }

void TVexaControl::Invalidate() {
  if (!owner_ || !owner_->HasWindow() || updateCount_ > 0) return;
  const TVexaControl* scheme = GetScheme();
  if (scheme && scheme != owner_->GetActiveScheme() && parent_ != owner_->GetSchemesRoot()) return;
  if (!noSelfPaint_) {
    const TRect doc = GetDocRect();
    owner_->InvalidatePixelRect(owner_->DocToPixelRect(GetRefreshRect(doc.left, doc.top)));
  }
  for (TVexaControl* child : children_) child->Invalidate();
}

void TVexaControl::GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
  points.clear();
  types.clear();
}

void TVexaControl::RestorePoints(const TRect& rect, const std::vector<TPoint>& points,
                                 const std::vector<uint8_t>& types) {
  BeginUpdate();
  SetDocRect(rect);
  SetPointsEx(points, types);
  EndUpdate();
}

void TVexaControl::BeginTransformation(TPoint origin) {
  if (InTransformation()) return;
  state_ |= csTransforming;
  const TRect r = GetDocRect();
  savedOrigin_ = origin;
  savedRect_ = {r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
  savedLinkPoints_.clear();
  for (const TPoint* p : linkPoints_) savedLinkPoints_.push_back({p->x - origin.x, p->y - origin.y});
  for (TVexaControl* child : children_) child->BeginTransformation(origin);
}

void TVexaControl::EndTransformation() {
  if (!InTransformation()) return;
  savedLinkPoints_.clear();
  for (TVexaControl* child : children_) child->EndTransformation();
  state_ &= static_cast<uint8_t>(~csTransforming);
}

// --- painting and hit testing

void TVexaControl::Paint(canvas::Canvas&, const TRect&) {}

int32_t TVexaControl::EffectiveTransparency() const {
  int32_t t = GetTransparency();
  if (layer_ && layer_ != this && layer_->GetTransparency() > 0) {
    const int32_t layer = layer_->GetTransparency();
    t = t * (100 - layer) / 100 + layer;
  }
  return t;
}

TRect TVexaControl::PaintExtent(int32_t x, int32_t y) const {
  TRect r = GetRefreshRect(x, y);
  for (const TVexaControl* child : children_) {
    const TRect c = child->PaintExtent(x + child->GetLeft(), y + child->GetTop());
    r = {std::min(r.left, c.left), std::min(r.top, c.top), std::max(r.right, c.right), std::max(r.bottom, c.bottom)};
  }
  return r;
}

void TVexaControl::PaintAll(canvas::Canvas& canvas, int32_t originX, int32_t originY) {
  if (!owner_ || !GetVisible()) return;
  if (layer_ && layer_ != this && !layer_->GetVisible()) return;
  if (!noClippingTest_) {
    const TRect r = owner_->DocToPixelRect(GetRefreshRect(originX, originY));
    const TRect clip = owner_->PaintRect();
    if (r.left > clip.right || r.top > clip.bottom || r.right < clip.left || r.bottom < clip.top) return;
  }
  const int32_t transparency = EffectiveTransparency();
  const bool compose = transparencyMode_ == 1 ||
                       (transparencyMode_ == 0 && transparency > 0 && !owner_->SuppressesTransparency());
  std::unique_ptr<TAlphaBuffer> nested;
  canvas::Canvas* target = &canvas;
  if (compose) {
    // Inside a control that composes already, this one composes into that one's buffer.
    TAlphaBuffer* enclosing = &owner_->AlphaBuffer();
    for (const TVexaControl* p = parent_; p; p = p->parent_) {
      if (p->alphaInUse_) {
        enclosing = p->alphaInUse_;
        break;
      }
    }
    TAlphaBuffer* buffer = enclosing;
    if (enclosing->Drawing()) {
      nested = std::make_unique<TAlphaBuffer>(enclosing);
      buffer = nested.get();
    }
    // The buffer covers only what this control and its children can paint: a small
    // transparent control does not blend the whole paint rectangle.
    const TRect extent = owner_->DocToPixelRect(PaintExtent(originX, originY));
    const TRect paint = owner_->PaintRect();
    const TRect area{std::max(extent.left, paint.left), std::max(extent.top, paint.top),
                     std::min(extent.right + 1, paint.right), std::min(extent.bottom + 1, paint.bottom)};
    if (area.left < area.right && area.top < area.bottom && buffer->BeginDraw(&canvas, area)) {
      alphaInUse_ = buffer;
      target = buffer->GetCanvas();
    }
  }
  if (!noSelfPaint_) {
    Paint(*target, owner_->DocToPixelRect({originX, originY, originX + GetWidth(), originY + GetHeight()}));
  }
  for (TVexaControl* child : children_) {
    child->PaintAll(*target, originX + child->GetLeft(), originY + child->GetTop());
  }
  if (alphaInUse_) {
    alphaInUse_->EndDraw(transparency);
    alphaInUse_ = nullptr;
  }
}

bool TVexaControl::IsPointInside(int32_t x, int32_t y) const {
  const TRect r = GetPixelRect();
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TVexaControl* TVexaControl::FindControlAt(int32_t x, int32_t y) {
  for (size_t i = children_.size(); i-- > 0;) {
    TVexaControl* child = children_[i];
    if (child->GetVisible() && child->IsSelectable() && child->IsPointInside(x, y)) return child;
  }
  return nullptr;
}

// --- the text format

void TVexaControl::SaveToFiler(TVexaFiler& filer, const std::string& indent) { SaveObject(filer, *this, indent); }

void TVexaControl::LoadFromFiler(TVexaFiler& filer) {
  std::unique_ptr<TLoadingScope> loading;
  if (owner_) loading = std::make_unique<TLoadingScope>(*owner_);
  state_ |= csLoading;
  TPropRefList* previous = props_->RefList();
  if (owner_) props_->SetRefList(&owner_->RefList());
  std::string line;
  try {
    while (filer.ReadLine(line)) {
      if (IsBlockEnd(line)) break;
      if (StartsWithKeyword(line, "object")) {
        if (owner_) {
          LoadControl(filer, *owner_, this, false, line);
        } else {
          filer.SkipBlock();
        }
        continue;
      }
      if (!StartsWithKeyword(line, "property") && filer.CheckSkipBlock(line)) continue;
      props_->LoadProp(filer, line);
    }
  } catch (...) {
    props_->SetRefList(previous);
    state_ &= static_cast<uint8_t>(~csLoading);
    throw;
  }
  props_->SetRefList(previous);
  state_ &= static_cast<uint8_t>(~csLoading);
  if (loading) loading->Finish();
  Notify(TVexaNotify::fnLoaded);
}

// --- depth-first walk

TVexaControl* TPassControlRec::PassFirst(TVexaControl* control) {
  current_ = control;
  stack_.clear();
  if (control) stack_.push_back(0);
  return control;
}

TVexaControl* TPassControlRec::PassNext() {
  if (!current_) return nullptr;
  if (!current_->children_.empty()) {
    current_ = current_->children_.front();
    stack_.push_back(0);
    return current_;
  }
  while (stack_.size() > 1) {
    TVexaControl* parent = current_->parent_;
    const int32_t next = stack_.back() + 1;
    if (parent && next < parent->GetCount()) {
      stack_.back() = next;
      current_ = parent->GetChild(next);
      return current_;
    }
    stack_.pop_back();
    current_ = parent;
  }
  PassEnd();
  return nullptr;
}

void TPassControlRec::PassEnd() {
  current_ = nullptr;
  stack_.clear();
}

}  // namespace pv::graphics
