#pragma once
// A panel that only holds a document, for tests and benchmarks until the real panel exists:
// the roots, the grid, the ID pool, the history, the parentless controls and the selection,
// with a scale, a paint rectangle and a record of notifications and invalidations.

#include <functional>
#include <unordered_map>
#include <string>
#include <utility>
#include <vector>

#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "document/Grid.h"
#include "document/Schemes.h"
#include "history/History.h"
#include "paint/AlphaBuffer.h"
#include "props/PropRefList.h"
#include "textformat/DocumentText.h"

namespace pv::graphics::test {

class TTestVexaPanel : public IVexaPanel {
 public:
  TTestVexaPanel();
  ~TTestVexaPanel() override;

  // IDocPanel
  THistory& History() override { return history_; }
  TPropRefList& RefList() override { return refs_; }
  int BeginLoading() override { return ++loading_; }
  int EndLoading() override { return --loading_; }
  bool HasControlClasses() const override { return true; }
  IDocControl* CreateControl(std::string_view className, IDocControl* parent) override;
  void FreeControl(IDocControl* control) override { AsVexa(control)->Free(); }
  IDocControl* FindControl(int32_t id) const override;
  IDocControl* FindLayer(int32_t id) const override;
  IDocControl* LayersRoot() const override { return layers_; }
  IDocControl* SchemesRoot() const override { return schemes_; }
  IDocControl* ActiveScheme() const override { return activeScheme_; }
  IDocControl* ActiveLayer() const override { return activeLayer_; }
  bool IsLayer(const IDocControl& control) const override;
  bool IsScheme(const IDocControl& control) const override;
  bool IsGroup(const IDocControl& control) const override;
  void ClearDocument() override;
  void NewDocument() override;
  void UnselectAll() override { selection_.clear(); }
  void Select(IDocControl& control) override { SelectControl(*AsVexa(&control), true); }
  std::vector<IDocControl*> Selection() const override { return selection_; }
  IDocControl* GroupSelection(std::string_view groupClass) override;
  void UngroupSelection() override;
  void SetControlId(IDocControl& control, int32_t id) override { AsVexa(&control)->SetID(static_cast<uint32_t>(id)); }
  void ControlCreatedByLoad(IDocControl&) override {}

  // IVexaPanel
  TIdPool& IdPool() override { return ids_; }
  uint32_t CheckControlId(TVexaControl& control, uint32_t oldId, uint32_t newId) override;
  uint32_t AssignControlId(TVexaControl& control, uint32_t wanted) override;
  void ReleaseControlId(TVexaControl& control, uint32_t id) override;
  bool IsLoading() const override { return loading_ > 0; }
  int Loading() const { return loading_; }
  void AddParentless(TVexaControl& control) override;
  void RemoveParentless(TVexaControl& control) override;
  const std::vector<TVexaControl*>& Parentless() const override { return parentless_; }
  std::vector<TVexaControl*> TopControls() const override;
  bool IsControlSelected(const TVexaControl& control) const override;
  void SelectControl(TVexaControl& control, bool select) override;
  void ControlNotify(TVexaControl& control, TVexaNotify notify) override;
  void ControlPropBeforeChanged(TVexaControl&, TCustomProp&) override {}
  void ControlPropChanged(TVexaControl&, TCustomProp&) override { modified = true; }
  TVexaControl* GetActiveLayer() const override { return activeLayer_; }
  void SetActiveLayer(TVexaControl* layer) override { activeLayer_ = layer; }
  TVexaControl* GetActiveScheme() const override { return activeScheme_; }
  void SetActiveScheme(TVexaControl* scheme) override { activeScheme_ = scheme; }
  TVexaControl* GetLayersRoot() const override { return layers_; }
  TVexaControl* GetSchemesRoot() const override { return schemes_; }
  TVexaControl* GetGrid() const override { return grid_; }
  bool AutoNames() const override { return autoNames; }
  bool AutoNameNumbs() const override { return autoNameNumbs; }
  int32_t Scale() const override { return scale; }
  TRect DocToPixelRect(const TRect& r) const override;
  TPoint DocToPixelPoint(TPoint p) const override;
  TPoint PixelToDocPoint(TPoint p) const override;
  int32_t DocWidth() const override { return docWidth_; }
  int32_t DocHeight() const override { return docHeight_; }
  // The document's size is kept in the schemes root too (it is saved there).
  void SetDocWidth(int32_t w) override;
  void SetDocHeight(int32_t h) override;
  int32_t ConnectorsMinGap() const override { return minGap_; }
  void SetConnectorsMinGap(int32_t gap) override { minGap_ = gap; }
  bool HasWindow() const override { return hasWindow; }
  void InvalidatePixelRect(const TRect& rect) override { invalidated.push_back(rect); }
  void InvalidateAll() override { ++wholeInvalidations; }
  TRect PaintRect() const override { return paintRect; }
  void SetPaintRect(const TRect& rect) override { paintRect = rect; }
  bool ShowsEditingAids() const override { return showEditingAids; }
  bool PaintsSchemeBackgrounds() const override { return false; }
  bool SchemeBkStretch() const override { return schemeBkStretch; }
  bool ViewCentred() const override { return viewCentred; }
  TRect ClientRect() const override { return clientRect; }
  void PaintSchemeEvent(canvas::Canvas& canvas, TVexaControl& scheme) override {
    if (OnPaintScheme) OnPaintScheme(canvas, scheme);
  }
  bool PaintsOnScreen() const override { return true; }
  bool ShowsDocumentFrame() const override { return false; }
  TAlphaBuffer& AlphaBuffer() override { return alpha_; }
  bool SuppressesTransparency() const override { return suppressTransparency; }
  bool SelectAsFilled() const override { return selectAsFilled; }

  TVexaLayers& Layers() const { return *layers_; }
  TVexaSchemes& Schemes() const { return *schemes_; }
  TVexaGrid& Grid() const { return *grid_; }
  std::string SaveText();
  // ECloneLimitError, as the real panel's load, for clones of clones that would paint too much.
  void LoadText(const std::string& text, TLoadMode mode = TLoadMode::Document);

  bool autoNames = false;
  bool autoNameNumbs = true;
  bool hasWindow = false;
  bool suppressTransparency = false;
  bool selectAsFilled = false;
  bool showEditingAids = false;
  bool schemeBkStretch = false;
  bool viewCentred = false;
  TRect clientRect{0, 0, 1920, 1080};
  std::function<void(canvas::Canvas&, TVexaControl&)> OnPaintScheme;
  bool modified = false;
  int32_t scale = 100;
  TRect paintRect{0, 0, 1920, 1080};
  std::vector<TRect> invalidated;
  int wholeInvalidations = 0;
  std::vector<std::pair<TVexaControl*, TVexaNotify>> notifications;

 private:
  THistory history_{this};
  TAlphaBuffer alpha_;
  TPropRefList refs_;
  TIdPool ids_;
  int loading_ = 0;
  TVexaSchemes* schemes_ = nullptr;
  TVexaLayers* layers_ = nullptr;
  TVexaGrid* grid_ = nullptr;
  TVexaControl* activeLayer_ = nullptr;
  TVexaControl* activeScheme_ = nullptr;
  std::vector<TVexaControl*> parentless_;
  // Every control with an ID, so that loading resolves links without walking the tree.
  std::unordered_map<uint32_t, TVexaControl*> byId_;
  std::vector<IDocControl*> selection_;
  int32_t docWidth_ = 800000;
  int32_t docHeight_ = 600000;
  int32_t minGap_ = TVexaSchemes::kDefaultMinGap;
};

}  // namespace pv::graphics::test
