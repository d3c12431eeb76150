// Creation and teardown of the panel, its published settings and the central notification
// handler.

#include "panel/VexaPanel.h"

#include "document/DocumentClasses.h"
#include "document/Grid.h"
#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/PanelPaint.h"

namespace pv::graphics {

TVexaPanel::TVexaPanel(panelwindow::IPanelWindow& window, bool editing)
    : window_(window),
      editing_(editing),
      paintList_(std::make_unique<TVexaPaintList>(*this)),
      history_(std::make_unique<TVexaPanelHistory>(*this)) {
  RegisterDocumentClasses();
  window_.SetEvents(this);
  schemes_ = TVexaControl::New<TVexaSchemes>(this, nullptr);
  layers_ = TVexaControl::New<TVexaLayers>(this, nullptr);
  grid_ = TVexaControl::New<TVexaGrid>(this, nullptr);
  grid_->SetHorizSize(10000);
  grid_->SetVertSize(10000);
  schemes_->SetWidth(kNewDocWidth);
  schemes_->SetHeight(kNewDocHeight);
  NewDocument();
  modified_ = false;
  UpdateScrollRange();
}

TVexaPanel::~TVexaPanel() {
  destroying_ = true;
  ReleaseDrags();
  window_.SetEvents(nullptr);
  history_->SetActive(false);
  ClearDocument();
  history_->Clear();
  OnNotify = nullptr;
  schemes_->Free();
  layers_->Free();
  grid_->Free();
  while (!parentless_.empty()) parentless_.back()->Free();
}

THistory& TVexaPanel::History() { return *history_; }

// ---- Settings

void TVexaPanel::SetDocFrameColor(canvas::TColor color) {
  if (color == docFrameColor_) return;
  docFrameColor_ = color;
  RepaintWhenFramed();
}

void TVexaPanel::SetDocShadowColor(canvas::TColor color) {
  if (color == docShadowColor_) return;
  docShadowColor_ = color;
  RepaintWhenFramed();
}

void TVexaPanel::SetDocSpaceBrush(const canvas::Brush& brush) {
  if (brush == docSpaceBrush_) return;
  docSpaceBrush_ = brush;
  Repaint();
}

void TVexaPanel::SetDocSpaceFill(bool on) {
  if (on == docSpaceFill_) return;
  docSpaceFill_ = on;
  Repaint();
}

void TVexaPanel::SetDocClipping(bool on) {
  if (on == docClipping_) return;
  docClipping_ = on;
  Repaint();
}

void TVexaPanel::SetSchemeBkStretch(bool on) {
  if (on == schemeBkStretch_) return;
  schemeBkStretch_ = on;
  Repaint();
}

void TVexaPanel::SetShowDocFrame(bool on) {
  if (on == showDocFrame_) return;
  showDocFrame_ = on;
  Repaint();
}

void TVexaPanel::SetShowEditPointGuide(bool on) {
  if (on == showEditPointGuide_) return;
  showEditPointGuide_ = on;
  // The guide is drawn over the point-edited control only.
  if (pointEdited_) pointEdited_->Invalidate();
}

void TVexaPanel::SetConnectorsMinGap(int32_t gap) {
  if (gap == connectorsMinGap_ || gap <= 0) return;
  connectorsMinGap_ = gap;
  schemes_->SetConnectorsMinGap(gap);
  ForEachControl([](TVexaControl& c) {
    if (c.IsConnector()) c.MinimalGapChanged();
  });
}

bool TVexaPanel::GetShowGrid() const { return grid_->GetVisible(); }
void TVexaPanel::SetShowGrid(bool on) { grid_->SetVisible(on); }
bool TVexaPanel::GetShowPixGrid() const { return grid_->ShowPixGrid(); }
void TVexaPanel::SetShowPixGrid(bool on) { grid_->SetShowPixGrid(on); }
bool TVexaPanel::GetSnapToGrid() const { return grid_->Snap(); }
void TVexaPanel::SetSnapToGrid(bool on) { grid_->SetSnap(on); }
uint8_t TVexaPanel::GetSnapStyle() const { return grid_->SnapStyle(); }
void TVexaPanel::SetSnapStyle(uint8_t style) { grid_->SetSnapStyle(style); }
int32_t TVexaPanel::GetGridHorizSize() const { return grid_->HorizSize(); }
void TVexaPanel::SetGridHorizSize(int32_t size) { grid_->SetHorizSize(size); }
int32_t TVexaPanel::GetGridVertSize() const { return grid_->VertSize(); }
void TVexaPanel::SetGridVertSize(int32_t size) { grid_->SetVertSize(size); }
canvas::TColor TVexaPanel::GetGridColor() const { return grid_->GridColor(); }
void TVexaPanel::SetGridColor(canvas::TColor color) { grid_->SetGridColor(color); }
canvas::TColor TVexaPanel::GetGridPixColor() const { return grid_->GridPixColor(); }
void TVexaPanel::SetGridPixColor(canvas::TColor color) { grid_->SetGridPixColor(color); }

void TVexaPanel::Click(TPoint clientPoint) {
  if (!editing_ && toolMode_ == 0 && activeScheme_) {
    // Hit tests run in window pixels.
    TVexaControl* hit = ControlAtPixel(clientPoint.x, clientPoint.y);
    TVexaControl* target = hit ? hit->GetReference() : nullptr;
    if (target) SetActiveScheme(target);
  }
  if (OnClick) OnClick(*this);
}

void TVexaPanel::PaintSchemeEvent(canvas::Canvas& canvas, TVexaControl& scheme) {
  if (OnPaintScheme) OnPaintScheme(*this, canvas, scheme);
}

// ---- Notifications

bool TVexaPanel::ControlInDocument(const TVexaControl* control) const {
  const TVexaControl* top = control;
  while (top->GetParent()) top = top->GetParent();
  return top == schemes_ || top == layers_;
}

void TVexaPanel::DocNotify(TVexaControl* control, TVexaNotify notify) {
  if (notify != TVexaNotify::fnPan && notify != TVexaNotify::fnSelect) ++docGeneration_;
  switch (notify) {
    case TVexaNotify::fnOrder:
    case TVexaNotify::fnLayers:
    case TVexaNotify::fnSchemes:
    case TVexaNotify::fnCreated:
    case TVexaNotify::fnDestroyed:
      modified_ = true;
      break;
    default:
      break;
  }
  if (control) {
    if (notify == TVexaNotify::fnCreated && loading_ > 0 && loadedControls_.insert(control).second) {
      loadedOrder_.push_back(control);
    }
    const bool selected = IsSelected(control);
    if (selected && (notify == TVexaNotify::fnRect || notify == TVexaNotify::fnEditPoints)) UpdateSelectionFrames();
    if (notify == TVexaNotify::fnSelect) UpdateSelectionFrames();
    if (notify == TVexaNotify::fnDestroyed) {
      loadedControls_.erase(control);
      if (hovered_ == control) hovered_ = nullptr;
      if (hintControl_ == control) hintControl_ = nullptr;
      if (pointEdited_ == control) pointEdited_ = nullptr;
      if (pointsUpdated_ == control) pointsUpdated_ = nullptr;
      if (linkControl_ == control) HighlightLinkPoint(nullptr, -1, {});
      // A host may free the layers or schemes themselves (a viewer clearing its document
      // before a conversion): the panel must not go on pointing at them.
      if (activeLayer_ == control) activeLayer_ = nullptr;
      if (activeScheme_ == control) activeScheme_ = nullptr;
    }
  }
  if (!OnNotify) return;
  if (notify == TVexaNotify::fnDestroyed || !control || ControlInDocument(control)) OnNotify(*this, control, notify);
}

void TVexaPanel::DoPropBeforeChanged(TVexaControl& control, TCustomProp& prop) {
  if (OnPropBeforeChanged) OnPropBeforeChanged(*this, control, prop);
}

void TVexaPanel::DoPropChanged(TVexaControl& control, TCustomProp& prop) {
  ++docGeneration_;
  modified_ = true;
  if (OnPropChanged) OnPropChanged(*this, control, prop);
}

}  // namespace pv::graphics
