#pragma once
// The service objects that give a document its structure: layers and their root, schemes and
// their root. They are controls so that they share properties, history and the text format.

#include <initializer_list>
#include <string>
#include <unordered_map>

#include "controls/RefProps.h"
#include "controls/VexaControl.h"

namespace pv::graphics {

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

class TVexaServiceControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  // Under a root, the siblings are looked up in the root's name index.
  bool IsUniqueName(bool checkEmpty, bool checkSiblings) const override;

 protected:
  void PropBeforeChanged(TCustomProp& prop) override;
  void PropChanged(TCustomProp& prop) override;
  // Layers and schemes keep their names unique among their siblings.
  void KeepNameUnique() { keepNameUnique_ = true; }
  // Properties that mean nothing for this service object: read-only, never stored, and a
  // change repaints nothing.
  void HideProps(std::initializer_list<TCustomProp*> props);
  // Width and Height read the panel's document size.
  void FollowDocumentSize();

 private:
  bool keepNameUnique_ = false;
  TUniqueNameRule nameRule_;
};

// The root of the layers or of the schemes: it holds only its own kind, moves the panel's
// active one off a child that leaves, and tells every change of its children.
class TVexaServiceRoot : public TVexaServiceControl {
 public:
  int AddChild(TVexaControl* control) override;
  void DeleteChild(int index) override;
  void MoveChild(int from, int to) override;

  // The first child of that name, as FindChildByName finds it, without a walk over the
  // children: a drawing may bring thousands of layers, each looked up and checked when made.
  TVexaControl* ChildByName(const std::string& name) const;
  // True when a child other than control bears that name.
  bool HasOtherChildNamed(const std::string& name, const TVexaControl& control) const;

 protected:
  // The child's index entry follows its name; a child that goes leaves it.
  void ChildRenamed(TVexaControl& child) override;
  void ChildGone(const TVexaControl& child) override;

 protected:
  virtual bool Holds(const TVexaControl& control) const = 0;
  virtual TVexaNotify ChildrenNotify() const = 0;
  virtual TVexaControl* Active() const = 0;
  virtual void SetActive(TVexaControl* control) = 0;

 private:
  void IndexChild(TVexaControl& child);
  void UnindexChild(const TVexaControl& child);

  // Every child under its name, and the name each child is filed under (what a rename or a
  // removal takes out).
  std::unordered_multimap<std::string, TVexaControl*> byName_;
  std::unordered_map<const TVexaControl*, std::string> filedName_;
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
  // The controls of the old panel drawn on it lose it: it is no layer of theirs any more.
  void LeavePanel() override;
  // Its controls stay in this panel, on the active layer (or the first other one).
  void HandOverBeforeLeaving() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  TBoolProp* moveable_ = nullptr;
  TBoolProp* readOnly_ = nullptr;
};

class TVexaLayers : public TVexaServiceRoot {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  TVexaLayer* NewLayer();
  TVexaLayer* ByName(const std::string& name) const;
  TVexaLayer* GetLayer(int index) const { return static_cast<TVexaLayer*>(GetChild(index)); }

 protected:
  void ControlCreate() override;
  bool Holds(const TVexaControl& control) const override { return control.InheritsFrom(TVexaLayer::ClassInfo); }
  TVexaNotify ChildrenNotify() const override { return TVexaNotify::fnLayers; }
  TVexaControl* Active() const override;
  void SetActive(TVexaControl* control) override;
};

}  // namespace pv::graphics
