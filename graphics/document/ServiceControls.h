#pragma once
// The service objects that give a document its structure: layers and their root, schemes and
// their root. They are controls so that they share properties, history and the text format.

#include <string>

#include "controls/RefProps.h"
#include "controls/VexaControl.h"

namespace pv::graphics {

class TVexaServiceControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
};

// A layer or scheme keeps its name unique among its siblings: a refused name gives way to the
// old one (or to none when the old one was refused too).
class TUniqueNameRule {
 public:
  void Before(const TVexaControl& control) { oldName_ = control.GetName(); }
  void After(TVexaControl& control);

 private:
  std::string oldName_;
  bool restoring_ = false;
};

class TVexaLayer : public TVexaServiceControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  bool GetMoveable() const { return moveable_->GetValue(); }
  void SetMoveable(bool v) { moveable_->SetValue(v); }
  bool GetReadOnly() const { return readOnly_->GetValue(); }
  void SetReadOnly(bool v) { readOnly_->SetValue(v); }
  void Invalidate() override;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void ControlDestroy() override;
  void PropBeforeChanged(TCustomProp& prop) override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  TBoolProp* moveable_ = nullptr;
  TBoolProp* readOnly_ = nullptr;
  TUniqueNameRule nameRule_;
};

class TVexaLayers : public TVexaServiceControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  TVexaLayer* NewLayer();
  TVexaLayer* ByName(const std::string& name) const;
  TVexaLayer* GetLayer(int index) const { return static_cast<TVexaLayer*>(GetChild(index)); }

  int AddChild(TVexaControl* control) override;
  void DeleteChild(int index) override;
  void MoveChild(int from, int to) override;

 protected:
  void ControlCreate() override;
};

// Moves the panel's active layer or scheme off a child that leaves the root: to the child now
// at its index, else the one before, else none.
TVexaControl* NextActive(const TVexaControl& root, int index);

}  // namespace pv::graphics
