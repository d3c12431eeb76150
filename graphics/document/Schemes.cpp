#include "document/Schemes.h"

#include <unordered_map>

#include "canvas/Canvas.h"
#include "controls/RefProps.h"
#include "controls/VexaPanel.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

const TVexaControlClass TVexaCustomScheme::ClassInfo{{"TVexaCustomScheme", &TVexaServiceControl::ClassInfo.ref},
                                                     nullptr};
const TVexaControlClass TVexaScheme::ClassInfo{{"TVexaScheme", &TVexaCustomScheme::ClassInfo.ref},
                                               &TVexaControl::Creator<TVexaScheme>};
const TVexaControlClass TVexaSchemes::ClassInfo{{"TVexaSchemes", &TVexaServiceControl::ClassInfo.ref},
                                                &TVexaControl::Creator<TVexaSchemes>};

// --- TSchemePaintOrder

TSchemePaintOrder::TSchemePaintOrder(const TVexaControl& scheme, const TVexaControl& layers) {
  layers_.resize(static_cast<size_t>(layers.GetCount()));
  std::unordered_map<const TVexaControl*, int> layerIndex;
  for (int l = 0; l < layers.GetCount(); ++l) layerIndex[layers.GetChild(l)] = l;
  children_.resize(static_cast<size_t>(scheme.GetCount()));
  for (int i = 0; i < scheme.GetCount(); ++i) {
    TVexaControl* control = scheme.GetChild(i);
    children_[static_cast<size_t>(i)].control = control;
    const auto found = layerIndex.find(control->GetLayer());
    if (found == layerIndex.end()) continue;
    LayerEntry& layer = layers_[static_cast<size_t>(found->second)];
    if (layer.last < 0) {
      layer.first = i;
    } else {
      children_[static_cast<size_t>(layer.last)].next = i;
      children_[static_cast<size_t>(i)].prev = layer.last;
    }
    layer.last = i;
  }
}

std::vector<TVexaControl*> TSchemePaintOrder::LayerControls(int l) const {
  std::vector<TVexaControl*> out;
  for (int i = layers_[static_cast<size_t>(l)].first; i >= 0; i = children_[static_cast<size_t>(i)].next) {
    out.push_back(children_[static_cast<size_t>(i)].control);
  }
  return out;
}

// --- TVexaCustomScheme

void TVexaCustomScheme::CreateProperties() {
  TVexaControl::CreateProperties();
  KeepNameUnique();
  default_ = Props().Create<TBoolProp>("Default");
  default_->SetFlags(pfNew | pfNoRepaint);
  HideProps({left_, top_, width_, height_, layerProp_, transparency_});
  FollowDocumentSize();
}

void TVexaCustomScheme::ControlCreate() {
  SetNoClippingTest(true);
  SetNoSelfPaint(true);
  if (Owner() && !Owner()->IsLoading()) SetName(Owner()->DefaultName(*this, true));
  TVexaControl::ControlCreate();
  SetVisible(true);
  if (GetParent() && GetParent()->GetCount() == 1) SetDefault(true);
}

void TVexaCustomScheme::ControlDestroy() {
  // Every reference to this scheme goes, from wherever it is made: nested in groups and
  // from parentless controls too. (The references also listen to the scheme; this clears
  // them inside the scheme's destruction group, so that undo restores them.)
  if (IVexaPanel* panel = Owner()) {
    std::vector<TVexaControl*> referring;
    panel->ForEachControl([&](TVexaControl& c) {
      if (c.GetReference() == this) referring.push_back(&c);
    });
    for (TVexaControl* c : referring) c->SetReference(nullptr);
  }
  TVexaControl::ControlDestroy();
}

void TVexaCustomScheme::PropChanged(TCustomProp& prop) {
  if (&prop == default_ && GetParent()) {
    TVexaControl& root = *GetParent();
    if (GetDefault()) {
      for (int i = 0; i < root.GetCount(); ++i) {
        auto* other = dynamic_cast<TVexaCustomScheme*>(root.GetChild(i));
        if (other && other != this) other->SetDefault(false);
      }
      if (Owner() && !Owner()->GetActiveScheme()) Owner()->SetActiveScheme(this);
    } else {
      bool another = false;
      for (int i = 0; i < root.GetCount(); ++i) {
        auto* other = dynamic_cast<TVexaCustomScheme*>(root.GetChild(i));
        if (other && other != this && other->GetDefault()) another = true;
      }
      // There is always one Default scheme.
      if (!another && !HasState(csDestroying)) SetDefault(true);
    }
  }
  TVexaServiceControl::PropChanged(prop);
}

void TVexaCustomScheme::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaControl::PropStored(prop, subName, stored);
  if (subName.empty() && &prop == default_) stored = GetDefault();
}

void TVexaCustomScheme::PaintAll(canvas::Canvas& canvas, int32_t x, int32_t y) {
  if (!PaintPage(canvas, x, y)) return;
  TVexaControl* layers = Owner()->GetLayersRoot();
  const TSchemePaintOrder order(*this, *layers);
  for (int l = 0; l < order.LayerCount(); ++l) {
    for (TVexaControl* c : order.LayerControls(l)) c->PaintAll(canvas, x + c->GetLeft(), y + c->GetTop());
  }
}

bool TVexaCustomScheme::PaintPage(canvas::Canvas& canvas, int32_t x, int32_t y) {
  IVexaPanel* panel = Owner();
  if (!panel || !GetVisible()) return false;
  if (!NoSelfPaint() && (panel->PaintsOnScreen() || panel->PaintsSchemeBackgrounds())) {
    TRect r = panel->DocToPixelRect({x, y, x + GetWidth(), y + GetHeight()});
    if (panel->SchemeBkStretch() && panel->ViewCentred()) {
      // Narrower than the window: widened to it, centred.
      const TRect client = panel->ClientRect();
      const auto widen = [](int32_t& low, int32_t& high, int32_t size) {
        const int32_t diff = size - (high - low);
        if (diff <= 0) return;
        low -= diff / 2;  // a positive half rounds towards minus infinity
        high = low + size;
      };
      widen(r.left, r.right, RectWidth(client));
      widen(r.top, r.bottom, RectHeight(client));
    }
    Paint(canvas, r);
  }
  panel->PaintSchemeEvent(canvas, *this);
  if (panel->PaintsOnScreen()) {
    if (TVexaControl* grid = panel->GetGrid()) grid->PaintAll(canvas, x, y);
  }
  TVexaControl* layers = panel->GetLayersRoot();
  return GetCount() > 0 && layers && layers->GetCount() > 0;
}

TVexaControl* TVexaCustomScheme::FindControlAt(int32_t x, int32_t y) {
  IVexaPanel* panel = Owner();
  TVexaControl* layers = panel ? panel->GetLayersRoot() : nullptr;
  if (!layers) return nullptr;
  const TSchemePaintOrder order(*this, *layers);
  for (int l = order.LayerCount() - 1; l >= 0; --l) {
    if (!layers->GetChild(l)->GetSelectable()) continue;
    const std::vector<TVexaControl*> controls = order.LayerControls(l);
    for (size_t i = controls.size(); i-- > 0;) {
      if (controls[i]->GetVisible() && controls[i]->IsPointInside(x, y)) return controls[i];
    }
  }
  return nullptr;
}

// --- TVexaScheme

void TVexaScheme::ControlCreate() {
  TVexaCustomScheme::ControlCreate();
  SetNoSelfPaint(false);
}

TRect TVexaScheme::GetRefreshRect(int32_t x, int32_t y) const {
  const IVexaPanel* panel = Owner();
  if (!panel || !panel->SchemeBkStretch()) return TVexaCustomScheme::GetRefreshRect(x, y);
  const TRect client = panel->ClientRect();
  const TPoint a = panel->PixelToDocPoint({client.left, client.top});
  const TPoint b = panel->PixelToDocPoint({client.right, client.bottom});
  const TRect doc = GetDocRect();
  const auto from = [](int32_t v, int32_t origin) { return winmath::ClampToInt32(int64_t{v} - origin); };
  return {from(a.x, doc.left), from(a.y, doc.top), from(b.x, doc.left), from(b.y, doc.top)};
}

void TVexaScheme::CreateProperties() {
  TVexaCustomScheme::CreateProperties();
  brush_ = Props().Create<TBrushProp>("Brush");
  brush_->SetStyle(canvas::BrushStyle::Solid);
  picture_ = Props().Create<TPictureProp>("Picture");
}

void TVexaScheme::Paint(canvas::Canvas& canvas, const TRect& rect) {
  if (!picture_->IsEmpty()) {
    picture_->Draw(canvas, rect, nullptr, false, 0);
    return;
  }
  canvas::Pen pen = canvas.GetPen();
  pen.style = canvas::PenStyle::Clear;
  pen.mode = canvas::PenMode::Copy;
  canvas.SetPen(pen);
  brush_->Setup(canvas, 100);
  if (brush_->IsPainted()) {
    canvas.SaveState();
    canvas.IntersectClipRect(rect);
    brush_->PaintFill(canvas, rect, Owner() ? Owner()->PaintRect() : rect, false, Owner() ? Owner()->Scale() : 100);
    canvas.RestoreState();
    return;
  }
  canvas.FillRect(rect);
}

// --- TVexaSchemes

void TVexaSchemes::CreateProperties() {
  TVexaControl::CreateProperties();
  version_ = Props().Create<TIntProp>("Version");
  version_->SetValue(140);
  version_->SetFlags(pfReadOnly | pfNoRepaint);
  minGap_ = Props().Create<TIntProp>("ConnectorsMinGap");
  minGap_->SetValue(kDefaultMinGap);
  minGap_->SetFlags(pfNew | pfThousandths | pfNoRepaint);
  visible_->SetValue(true);  // before it turns read-only
  HideProps({left_, top_, visible_, layerProp_, reference_, transparency_});
}

void TVexaSchemes::ControlCreate() {
  SetNoClippingTest(true);
  SetName("Document");
  SetID(1);
  SetShowHint(true);
  SetSelectable(true);
  SetConnectorsMinGap(kDefaultMinGap);
  Notify(TVexaNotify::fnCreated);
}

TVexaControl* TVexaSchemes::Active() const { return Owner() ? Owner()->GetActiveScheme() : nullptr; }

void TVexaSchemes::SetActive(TVexaControl* control) {
  if (Owner()) Owner()->SetActiveScheme(control);
}

void TVexaSchemes::PropChanged(TCustomProp& prop) {
  if (IVexaPanel* panel = Owner()) {
    if (&prop == width_ && GetWidth() != panel->DocWidth()) panel->SetDocWidth(GetWidth());
    if (&prop == height_ && GetHeight() != panel->DocHeight()) panel->SetDocHeight(GetHeight());
    if (&prop == minGap_ && GetConnectorsMinGap() != panel->ConnectorsMinGap()) {
      if (GetConnectorsMinGap() <= 0) {
        SetConnectorsMinGap(1);
        return;
      }
      panel->SetConnectorsMinGap(GetConnectorsMinGap());
    }
  } else if (&prop == minGap_ && GetConnectorsMinGap() <= 0) {
    SetConnectorsMinGap(1);
    return;
  }
  TVexaServiceControl::PropChanged(prop);
}

void TVexaSchemes::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaControl::PropStored(prop, subName, stored);
  if (!subName.empty()) return;
  if (&prop == width_ || &prop == height_) stored = true;
  if (&prop == minGap_) stored = GetConnectorsMinGap() != kDefaultMinGap;
}

}  // namespace pv::graphics
