#pragma once
// A small document made of the panel and control interfaces, for tests, the fuzzer and the
// benchmarks: layers, schemes, boxes, curves (with points) and groups, each with ID, Left,
// Top, Width, Height, Hint, Tag, Layer (a reference by name) and a never-stored Visible.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/IdPool.h"
#include "history/History.h"
#include "props/PropList.h"
#include "props/PropRefList.h"
#include "props/SimpleProps.h"
#include "textformat/DocModel.h"
#include "textformat/DocumentText.h"

namespace pv::graphics::test {

class TTestPanel;

class TTestControl : public IDocControl, public TPropListEvents {
 public:
  TTestControl(TTestPanel& panel, const char* className);
  ~TTestControl() override;

  IDocPanel& Panel() const override;
  const char* ClassName() const override { return className_; }
  std::string GetName() const override { return name_; }
  void SetName(const std::string& name) override { name_ = name; }
  int32_t GetId() const override { return id_; }
  TPropList& Props() override { return props_; }
  IDocControl* Parent() const override { return parent_; }
  int ChildCount() const override { return static_cast<int>(children_.size()); }
  IDocControl* Child(int index) const override { return children_[static_cast<size_t>(index)]; }
  void SetParent(IDocControl* parent) override;
  void MoveChild(int from, int to) override;
  IDocControl* Layer() const override { return layer_; }
  void SetLayer(IDocControl* layer) override;
  void Loaded() override { ++loadedCount; }
  TRect GetDocRect() const override;
  bool HasPoints() const override { return points_ != nullptr; }
  void GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const override;
  void RestoreDocRect(const TRect& rect) override;
  void RestorePoints(const TRect& rect, const std::vector<TPoint>& points, const std::vector<uint8_t>& types) override;
  bool InUpdate() const override { return updates_ > 0; }
  TRect UpdateRect() const override { return updateRect_; }

  void BeginUpdate();
  void EndUpdate();
  // A change of geometry as a user makes it: recorded when the history is on.
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  void SetPoints(std::vector<TPoint> points, std::vector<uint8_t> types);
  void InsertChild(int index, TTestControl* child);
  void Detach();

  void PropBeforeChanged(TPropList& list, TCustomProp& prop) override;
  void PropChanged(TPropList& list, TCustomProp& prop) override;
  void PropStored(TPropList& list, TCustomProp& prop, std::string_view subName, bool& stored) override;

  TIntProp* left;
  TIntProp* top;
  TIntProp* width;
  TIntProp* height;
  int loadedCount = 0;

 private:
  friend class TTestPanel;
  PropValue PointsData() const;
  void SetPointsData(const PropValue& value);

  TTestPanel& panel_;
  const char* className_;
  std::string name_;
  int32_t id_ = 0;
  int32_t idBefore_ = 0;
  TPropList props_{this};
  TStrProp* layerProp_ = nullptr;
  TTestControl* parent_ = nullptr;
  std::vector<TTestControl*> children_;
  IDocControl* layer_ = nullptr;
  struct Points {
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
  };
  std::unique_ptr<Points> points_;
  int updates_ = 0;
  TRect updateRect_;
};

class TTestPanel : public IDocPanel {
 public:
  TTestPanel();
  ~TTestPanel() override;

  THistory& History() override { return history_; }
  TPropRefList& RefList() override { return refs_; }
  int BeginLoading() override { return ++loading_; }
  int EndLoading() override { return --loading_; }
  int Loading() const { return loading_; }
  bool HasControlClasses() const override { return true; }
  IDocControl* CreateControl(std::string_view className, IDocControl* parent) override;
  void FreeControl(IDocControl* control) override;
  IDocControl* FindControl(int32_t id) const override;
  IDocControl* FindLayer(int32_t id) const override;
  IDocControl* LayersRoot() const override { return layers_; }
  IDocControl* SchemesRoot() const override { return schemes_; }
  IDocControl* ActiveScheme() const override;
  IDocControl* ActiveLayer() const override;
  bool IsLayer(const IDocControl& c) const override;
  bool IsScheme(const IDocControl& c) const override;
  bool IsGroup(const IDocControl& c) const override;
  void ClearDocument() override;
  void NewDocument() override;
  void UnselectAll() override { selection_.clear(); }
  void Select(IDocControl& control) override;
  std::vector<IDocControl*> Selection() const override { return selection_; }
  IDocControl* GroupSelection(std::string_view groupClass) override;
  void UngroupSelection() override;
  void SetControlId(IDocControl& control, int32_t id) override;
  void ControlCreatedByLoad(IDocControl& control) override;

  // A control of the class, under parent (appended), not recorded.
  TTestControl* Add(const char* className, IDocControl* parent, const std::string& name = {});
  IDocControl* LayerByName(std::string_view name) const;
  // The whole document as text.
  std::string SaveText();
  void LoadText(const std::string& text, TLoadMode mode);
  const TIdPool& Ids() const { return ids_; }

  // Hooks for the history actions' tests: creation by a load, and the actions that count as
  // found without an object (the panel history's rules).
  std::function<void(IDocControl&)> OnCreatedByLoad;
  std::function<bool(THistoryAction&)> FoundWithoutSource;
  // Called inside a control's update bracket before its geometry changes (SetBounds, SetPoints).
  std::function<void(TTestControl&)> OnBoundsChanging;
  std::function<void(TTestControl&)> OnPointsChanging;

 private:
  friend class TTestControl;
  void AssignId(TTestControl& control, int32_t oldId, int32_t id);
  void ReleaseIds(TTestControl& control);
  void Forget(TTestControl& control);
  TTestControl* Find(TTestControl& from, int32_t id) const;

  THistory history_{this};
  TPropRefList refs_;
  TIdPool ids_;
  int loading_ = 0;
  TTestControl* layers_;
  TTestControl* schemes_;
  std::vector<TTestControl*> loose_;
  std::vector<IDocControl*> selection_;
};

}  // namespace pv::graphics::test
