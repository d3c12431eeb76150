#pragma once
// Schemes (the pages of a document) and their root, which holds the document's properties.

#include <vector>

#include "document/ServiceControls.h"
#include "props/BrushProp.h"
#include "props/PictureProp.h"

namespace pv::graphics {

class TVexaCustomScheme : public TVexaServiceControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  bool GetDefault() const { return default_->GetValue(); }
  void SetDefault(bool v) { default_->SetValue(v); }
  bool IsCustomScheme() const override { return true; }
  void PaintAll(canvas::Canvas& canvas, int32_t x, int32_t y) override;
  // The page under the controls: background, the scheme event and the grid. False when the
  // controls are not to be painted (hidden scheme, or no controls or layers).
  bool PaintPage(canvas::Canvas& canvas, int32_t x, int32_t y);
  TVexaControl* FindControlAt(int32_t x, int32_t y) override;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void ControlDestroy() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  TBoolProp* default_ = nullptr;
};

class TVexaScheme : public TVexaCustomScheme {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  TBrushProp& Brush() const { return *brush_; }
  TPictureProp& Picture() const { return *picture_; }
  // The page's background: its picture, else its brush.
  void Paint(canvas::Canvas& canvas, const TRect& rect) override;
  // With a stretched background: the whole window, relative to the scheme.
  TRect GetRefreshRect(int32_t x, int32_t y) const override;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;

 private:
  TBrushProp* brush_ = nullptr;
  TPictureProp* picture_ = nullptr;
};

class TVexaSchemes : public TVexaServiceRoot {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  static constexpr int32_t kDefaultMinGap = 8000;
  TVexaCustomScheme* GetScheme(int index) const { return static_cast<TVexaCustomScheme*>(GetChild(index)); }
  int32_t GetVersion() const { return version_->GetValue(); }
  int32_t GetConnectorsMinGap() const { return minGap_->GetValue(); }
  void SetConnectorsMinGap(int32_t v) { minGap_->SetValue(v); }


 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;
  bool Holds(const TVexaControl& control) const override { return control.IsCustomScheme(); }
  TVexaNotify ChildrenNotify() const override { return TVexaNotify::fnSchemes; }
  TVexaControl* Active() const override;
  void SetActive(TVexaControl* control) override;

 private:
  TIntProp* version_ = nullptr;
  TIntProp* minGap_ = nullptr;
};

// The order in which a scheme paints and hit-tests its children: layer by layer, each layer's
// controls in child order. Children without one of the panel's layers are left out.
class TSchemePaintOrder {
 public:
  TSchemePaintOrder(const TVexaControl& scheme, const TVexaControl& layers);
  // The controls of layer index l, first painted first.
  std::vector<TVexaControl*> LayerControls(int l) const;
  int LayerCount() const { return static_cast<int>(layers_.size()); }

 private:
  struct LayerEntry {
    int first = -1;
    int last = -1;
  };
  struct ChildEntry {
    int next = -1;
    int prev = -1;
    TVexaControl* control = nullptr;
  };
  std::vector<LayerEntry> layers_;
  std::vector<ChildEntry> children_;
};

}  // namespace pv::graphics
