#pragma once
// Properties whose value is another object of the document: the control's layer (by name)
// and the scheme a control refers to (by name). Both are applied after a whole load.

#include <memory>
#include <string>
#include <vector>

#include "base/NotifyLink.h"
#include "props/SimpleProps.h"

namespace pv::graphics {

class TVexaControl;

// The control's layer: no text of its own, it reads and sets the layer through the control.
class TLayerProp : public TCustomStrProp {
 public:
  explicit TLayerProp(TVexaControl& control) : control_(control) {}
  const char* ClassName() const override { return "TLayerProp"; }

  // Empty: no layer; an unknown name keeps the layer (a layerless control in a scheme gets
  // the panel's active layer).
  void SetValue(const std::string& name) override;
  std::string GetValue() const override;
  void GetEnumList(std::vector<std::string>& names) const override;

 private:
  TVexaControl& control_;
};

// A scheme that the control refers to. It listens to the scheme, so that a scheme going away
// clears every reference to it, wherever the referring control lies.
class TSchemeRefProp : public TCustomProp {
 public:
  TSchemeRefProp();
  ~TSchemeRefProp() override;
  const char* ClassName() const override { return "TSchemeRefProp"; }

  TVexaControl* GetScheme() const { return scheme_; }
  // Refused when read-only or unchanged, or for a scheme that is being destroyed.
  void SetScheme(TVexaControl* scheme);
  // The schemes root of the owning control's scheme; none outside a scheme.
  TVexaControl* GetSchemesRoot() const;

  std::string GetDisplayValue() const override;
  void SetDisplayValue(const std::string& text) override;
  PropValue GetPropValue(std::string_view name) const override;
  // Empty clears; otherwise the first scheme of that exact name; an unknown name does nothing.
  void SetPropValue(std::string_view name, const PropValue& value) override;
  // An empty entry, then every scheme's name.
  void GetEnumList(std::vector<std::string>& names) const override;

 private:
  TVexaControl* OwningControl() const;
  void Link(TVexaControl* scheme);
  TNotifyLink& SchemeLink();

  TVexaControl* scheme_ = nullptr;
  std::unique_ptr<TNotifyLink> schemeLink_;
};

}  // namespace pv::graphics
