#include "controls/RefProps.h"

#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"

namespace pv::graphics {

// --- TLayerProp

void TLayerProp::SetValue(const std::string& name) {
  IVexaPanel* panel = control_.Owner();
  if (!panel) return;
  if (name.empty()) {
    control_.SetLayerControl(nullptr);
    return;
  }
  TVexaControl* layers = panel->GetLayersRoot();
  TVexaControl* layer = layers ? layers->FindChildByName(name) : nullptr;
  if (!layer && !control_.GetLayer() && control_.GetScheme()) layer = panel->GetActiveLayer();
  if (layer) control_.SetLayerControl(layer);
}

std::string TLayerProp::GetValue() const {
  const TVexaControl* layer = control_.GetLayer();
  return layer ? layer->GetName() : std::string();
}

void TLayerProp::GetEnumList(std::vector<std::string>& names) const {
  names.clear();
  IVexaPanel* panel = control_.Owner();
  TVexaControl* layers = panel ? panel->GetLayersRoot() : nullptr;
  if (!layers) return;
  for (int i = 0; i < layers->GetCount(); ++i) names.push_back(layers->GetChild(i)->GetName());
}

// --- TSchemeRefProp

TSchemeRefProp::TSchemeRefProp() = default;

TSchemeRefProp::~TSchemeRefProp() {
  if (schemeLink_) schemeLink_->OnNotify = nullptr;
}

// Made when a scheme is first referred to: most controls never refer to one, and the link
// with its handler is the largest part of the property.
TNotifyLink& TSchemeRefProp::SchemeLink() {
  if (!schemeLink_) {
    schemeLink_ = std::make_unique<TNotifyLink>(this);
    schemeLink_->OnNotify = [this](TNotifyLink&, TNotifyLink* source, const TNotifyLinkInfo& info) {
      if (info.Code != TNotifyCode::Free || !source || !scheme_) return;
      // The scheme goes: the reference is cleared as a change, so that undo brings it back.
      DoBeforeChanged();
      scheme_ = nullptr;
      DoChanged();
    };
  }
  return *schemeLink_;
}

TVexaControl* TSchemeRefProp::OwningControl() const {
  return OwnerList() ? dynamic_cast<TVexaControl*>(OwnerList()->Control()) : nullptr;
}

void TSchemeRefProp::Link(TVexaControl* scheme) {
  if (scheme_) {
    if (TNotifyLink* old = scheme_->GetNotifyLink()) old->RemoveListener(&SchemeLink());
  }
  scheme_ = scheme;
  if (scheme_) scheme_->GetNotifyLink()->AddListener(&SchemeLink());
}

void TSchemeRefProp::SetScheme(TVexaControl* scheme) {
  if (scheme == scheme_ || IsReadOnly()) return;
  if (scheme && !scheme->GetNotifyLink()) return;  // being destroyed
  DoBeforeChanged();
  Link(scheme);
  DoChanged();
}

TVexaControl* TSchemeRefProp::GetSchemesRoot() const {
  TVexaControl* control = OwningControl();
  TVexaControl* scheme = control ? control->GetScheme() : nullptr;
  return scheme ? scheme->GetParent() : nullptr;
}

std::string TSchemeRefProp::GetDisplayValue() const { return scheme_ ? scheme_->GetName() : std::string(); }

void TSchemeRefProp::SetDisplayValue(const std::string& text) { SetPropValue({}, PropValue::String(text)); }

PropValue TSchemeRefProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  return PropValue::String(GetDisplayValue());
}

void TSchemeRefProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  std::string text;
  try {
    text = value.ToString();
  } catch (const EConvertError&) {
    return;
  }
  if (text.empty()) {
    SetScheme(nullptr);
    return;
  }
  TVexaControl* control = OwningControl();
  IVexaPanel* panel = control ? control->Owner() : nullptr;
  TVexaControl* root = panel ? panel->GetSchemesRoot() : nullptr;
  if (!root) return;
  for (int i = 0; i < root->GetCount(); ++i) {
    if (root->GetChild(i)->GetName() == text) {
      SetScheme(root->GetChild(i));
      return;
    }
  }
}

void TSchemeRefProp::GetEnumList(std::vector<std::string>& names) const {
  names.assign(1, std::string());
  TVexaControl* control = OwningControl();
  IVexaPanel* panel = control ? control->Owner() : nullptr;
  TVexaControl* root = panel ? panel->GetSchemesRoot() : nullptr;
  if (!root) return;
  for (int i = 0; i < root->GetCount(); ++i) names.push_back(root->GetChild(i)->GetName());
}

}  // namespace pv::graphics
