#include "controls/LinkProps.h"

#include <stdexcept>

#include "base/TextHelpers.h"
#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "props/PropList.h"
#include "props/PropRefList.h"

namespace pv::graphics {

std::string MakeLinkReference(const TVexaControl* control, const TCustomProp* prop) {
  if (!control) return {};
  std::string name;
  for (char c : control->GetName()) {
    if (static_cast<unsigned char>(c) >= 32 && c != '\\') name.push_back(c);
  }
  std::string text = "\\" + std::to_string(control->GetId()) + ":" + name;
  auto& props = const_cast<TVexaControl*>(control)->Props();
  if (prop && prop->OwnerList() == &props) text.append("\\").append(prop->Name());
  return text;
}

bool ParseLinkReference(std::string_view text, IVexaPanel* panel, TVexaControl* startControl,
                        const TPropRefList* refs, TVexaControl*& control, TCustomProp*& prop) {
  control = nullptr;
  prop = nullptr;
  if (text.empty()) return true;
  if (text.front() != '\\' || !panel) return false;
  size_t end = text.find_first_of(":\\", 1);
  if (end == std::string_view::npos) end = text.size();
  int64_t id = 0;
  if (!ParseDecimal(text.substr(1, end - 1), INT32_MIN, INT32_MAX, id)) id = 0;
  if (refs) {
    if (const int32_t translated = refs->TranslateId(static_cast<int32_t>(id))) id = translated;
  }
  if (id != 0) {
    control = AsVexa(panel->FindControl(static_cast<int32_t>(id)));
    if (!control && startControl) {
      TVexaControl* top = startControl;
      while (top->GetParent()) top = top->GetParent();
      control = top->FindByID(static_cast<uint32_t>(id));
    }
  }
  if (!control) return false;
  size_t at = end;
  if (at < text.size() && text[at] == ':') {
    at = text.find('\\', at + 1);
    if (at == std::string_view::npos) at = text.size();
  }
  if (at >= text.size() || at + 1 >= text.size()) return true;
  prop = control->Props().PropByName(text.substr(at + 1));
  return prop != nullptr;
}

TLinkProp::TLinkProp() {
  link_.OnNotify = [this](TNotifyLink&, TNotifyLink* source, const TNotifyLinkInfo& info) {
    HandleMessage(source, info);
  };
}

TLinkProp::~TLinkProp() {
  link_.OnNotify = nullptr;
  OnLinkNotify = nullptr;
  OnLinkDestroy = nullptr;
}

TVexaControl* TLinkProp::OwningControl() const {
  return OwnerList() ? dynamic_cast<TVexaControl*>(OwnerList()->Control()) : nullptr;
}

TNotifyLink* TLinkProp::TargetLink(TVexaControl* control, TCustomProp* prop) const {
  if (prop) return &prop->GetNotifyLink();
  return control ? control->GetNotifyLink() : nullptr;
}

void TLinkProp::HandleMessage(TNotifyLink* source, const TNotifyLinkInfo& info) {
  if (!source) return;  // our own end
  if (info.Code == TNotifyCode::Free) {
    if (!control_ && !prop_) return;
    LinkEnding();
    DoBeforeChanged();
    control_ = nullptr;
    prop_ = nullptr;
    rebuild_ = true;
    DoChanged();
    if (OnLinkDestroy) OnLinkDestroy(*this);
    return;
  }
  // The text names the target by ID and name: a change of either is saved as it is now.
  if (info.Code == TNotifyCode::Control && (info.Notify == TVexaNotify::fnID || info.Notify == TVexaNotify::fnName)) {
    rebuild_ = true;
  }
  LinkMessage(info);
}

void TLinkProp::LinkMessage(const TNotifyLinkInfo& info) {
  if (OnLinkNotify) OnLinkNotify(*this, info);
}

bool TLinkProp::SetLink(TVexaControl* control, TCustomProp* prop) {
  if (control && !prop && !control->GetNotifyLink()) return false;  // being destroyed
  if (TNotifyLink* old = TargetLink(control_, prop_)) old->RemoveListener(&link_);
  control_ = control;
  prop_ = prop;
  if (TNotifyLink* target = TargetLink(control_, prop_)) target->AddListener(&link_);
  return true;
}

std::string TLinkProp::GetDisplayValue() const {
  if (rebuild_) {
    text_ = MakeLinkReference(control_, prop_);
    rebuild_ = false;
  }
  return text_;
}

void TLinkProp::SetDisplayValue(const std::string& text) {
  SetLinkText(!text.empty() && text.front() != '\\' ? "\\" + text : text);
}

PropValue TLinkProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  return PropValue::String(GetDisplayValue());
}

void TLinkProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  SetLinkText(value.ToString());
}

void TLinkProp::SetLinkText(const std::string& text) {
  TVexaControl* owner = OwningControl();
  const TPropRefList* refs = OwnerList() ? OwnerList()->RefList() : nullptr;
  TVexaControl* control = nullptr;
  TCustomProp* prop = nullptr;
  if (!ParseLinkReference(text, owner ? owner->Owner() : nullptr, owner, refs, control, prop)) return;
  if ((control == control_ && prop == prop_) || IsReadOnly()) return;
  DoBeforeChanged();
  if (SetLink(control, prop)) {
    text_ = text;
    rebuild_ = true;
  }
  DoChanged();
}

void TLinkProp::SetLinkedControl(TVexaControl* control) {
  if ((control == control_ && !prop_) || IsReadOnly()) return;
  DoBeforeChanged();
  SetLink(control, nullptr);
  rebuild_ = true;
  DoChanged();
}

// --- TLinkPointProp

TLinkPointProp* TLinkPointProp::CreateIn(TPropList& list, std::string_view name) {
  if (!dynamic_cast<TVexaControl*>(list.Control())) throw std::runtime_error("Can't create link prop");
  return list.Create<TLinkPointProp>(name);
}

TLinkPointProp::~TLinkPointProp() {
  // The linked control holds this point: take it back before it goes.
  if (LinkedControl()) LinkedControl()->RemoveLinkPoint(&point_);
}

bool TLinkPointProp::SetLink(TVexaControl* control, TCustomProp*) {
  TVexaControl* owner = OwningControl();
  if (!owner) throw std::runtime_error("Can't create link prop");
  // A route to the connector itself, or to a control it carries, would move what it is routed
  // to each time it is routed: never settled, and saved differently from what it loads.
  if (control == owner || control == LinkedControl() || (control && owner->IsAncestorOf(control))) return false;
  if (control && !control->GetNotifyLink()) return false;
  if (LinkedControl()) LinkedControl()->RemoveLinkPoint(&point_);
  TLinkProp::SetLink(control, nullptr);
  lastReported_.reset();
  // Read from a text that stores where the point is: the control taking it over is no news.
  if (pointStored_ && OwnerList() && OwnerList()->IsResolving()) lastReported_ = point_;
  pointStored_ = false;
  if (control) {
    control->AddLinkPoint(&point_);
    linkedRect_ = control->GetDocRect();
  }
  return true;
}

// The control holds this point until it is freed, and its own children go before it: a
// connector among them, linked to it, would leave the point dangling in its list.
void TLinkPointProp::LinkEnding() {
  if (LinkedControl()) LinkedControl()->RemoveLinkPoint(&point_);
}

void TLinkPointProp::LinkMessage(const TNotifyLinkInfo& info) {
  if (info.Code == TNotifyCode::Control && info.Notify == TVexaNotify::fnLinkPoints) {
    if (point_ == lastReported_) return;
    lastReported_ = point_;
  }
  TLinkProp::LinkMessage(info);
}

void TLinkPointProp::SetLinkPoint(TPoint point) {
  if (point == point_ || IsReadOnly()) return;
  busy_ = true;
  DoBeforeChanged();
  point_ = point;
  if (LinkedControl()) {
    LinkedControl()->Notify(TVexaNotify::fnLinkPoints);
  } else if (OnLinkNotify) {
    TNotifyLinkInfo info;
    info.Code = TNotifyCode::Control;
    info.Subject = OwningControl();
    info.Notify = TVexaNotify::fnLinkPoints;
    OnLinkNotify(*this, info);
  }
  DoChanged();
  busy_ = false;
}

}  // namespace pv::graphics
