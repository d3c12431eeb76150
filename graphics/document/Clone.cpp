#include "document/Clone.h"

#include <algorithm>
#include <cmath>

#include "canvas/BitmapCanvas.h"
#include "canvas/Canvas.h"
#include "canvas/OffsetCanvas.h"
#include "controls/VexaPanel.h"
#include "document/FlagScope.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

const TVexaControlClass TVexaClone::ClassInfo{{"TVexaClone", &TVexaControl::ClassInfo.ref},
                                              &TVexaControl::Creator<TVexaClone>};

namespace {

// The colour that stands for "not painted" in the bitmap a stretched source is drawn into.
constexpr canvas::TColor kUntouched = 0x00FE01FE;

}  // namespace

void TVexaClone::CreateProperties() {
  TVexaControl::CreateProperties();
  source_ = Props().Create<TLinkProp>("Source");
  source_->SetFlags(pfNew | pfReference);
  source_->OnLinkNotify = [this](TLinkProp&, const TNotifyLinkInfo& info) { SourceMessage(info); };
  autoSize_ = Props().Create<TBoolProp>("AutoSize");
}

void TVexaClone::ControlCreate() {
  SetWidth(1);
  SetHeight(1);
  SetAutoSize(true);
  TVexaControl::ControlCreate();
  SetVisible(true);
}

bool TVexaClone::IsRefusedSource(const TVexaControl* source) const {
  if (!source) return false;
  return source == this || source->InheritsFrom(ClassInfo) || source->IsAncestorOf(this);
}

void TVexaClone::SetSizeLocked(bool locked) {
  locked = locked && GetAutoSize();
  if (locked == sizeLocked_) return;
  sizeLocked_ = locked;
  for (TIntProp* p : {width_, height_}) {
    p->SetFlags(static_cast<uint8_t>(locked ? p->Flags() | pfReadOnly : p->Flags() & ~pfReadOnly));
  }
}

void TVexaClone::UpdateSize() {
  TVexaControl* source = GetSource();
  if (!source) return;
  SetSizeLocked(false);
  {
    TFlagScope updating(updatingSize_);
    BeginUpdate();
    SetWidth(source->GetWidth());
    SetHeight(source->GetHeight());
    EndUpdate();
  }
  SetSizeLocked(true);
}

void TVexaClone::PropReadOnly(TCustomProp& prop, bool& readOnly) {
  TVexaControl::PropReadOnly(prop, readOnly);
  if (updatingSize_ && (&prop == width_ || &prop == height_)) readOnly = false;
}

void TVexaClone::SourceMessage(const TNotifyLinkInfo& info) {
  if (info.Code != TNotifyCode::PropChanged || !GetSource()) return;
  auto* prop = dynamic_cast<TCustomProp*>(info.Subject);
  if (!prop || prop->OwnerList() != &GetSource()->Props()) return;
  const std::string_view name = prop->Name();
  if ((name == "Width" || name == "Height") && GetAutoSize()) {
    UpdateSize();
  } else if (!prop->HasFlag(pfNoRepaint)) {
    Invalidate();
  }
}

void TVexaClone::PropChanged(TCustomProp& prop) {
  if (&prop == source_) {
    TVexaControl* source = GetSource();
    if (!source) {
      SetSizeLocked(false);
    } else if (IsRefusedSource(source)) {
      source_->SetLinkedControl(nullptr);  // re-enters with no source
      return;
    } else if (GetAutoSize()) {
      UpdateSize();
    }
  }
  if (&prop == autoSize_) {
    if (GetAutoSize()) {
      UpdateSize();
    } else {
      SetSizeLocked(false);
    }
  }
  TVexaControl::PropChanged(prop);
}

void TVexaClone::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaControl::PropStored(prop, subName, stored);
  if (!subName.empty()) return;
  if (&prop == source_) stored = GetSource() != nullptr;
  if (&prop == autoSize_) stored = !GetAutoSize();
}

TRect TVexaClone::GetRefreshRect(int32_t x, int32_t y) const {
  TRect r = TVexaControl::GetRefreshRect(x, y);
  const TVexaControl* source = GetSource();
  if (!source || busy_) return r;
  TFlagScope busy(busy_);
  const TRect s = source->GetRefreshRect(0, 0);
  const int32_t sw = source->GetWidth();
  const int32_t sh = source->GetHeight();
  double left = -s.left;
  double top = -s.top;
  double right = s.right - sw;
  double bottom = s.bottom - sh;
  if (!GetAutoSize()) {
    const double kx = sw ? static_cast<double>(GetWidth()) / sw : 0.0;
    const double ky = sh ? static_cast<double>(GetHeight()) / sh : 0.0;
    left *= kx;
    right *= kx;
    top *= ky;
    bottom *= ky;
  }
  // The source's overhang, scaled, held at the edges of the coordinate range.
  const auto widened = [](int32_t edge, double by) {
    return winmath::ClampToInt32(int64_t{edge} + std::llround(std::clamp(by, -4294967296.0, 4294967296.0)));
  };
  return {widened(r.left, -left), widened(r.top, -top), widened(r.right, right), widened(r.bottom, bottom)};
}

void TVexaClone::Paint(canvas::Canvas& canvas, const TRect& rect) {
  IVexaPanel* panel = Owner();
  TVexaControl* source = GetSource();
  if (!panel || busy_) return;
  if (!source) {
    if (!panel->PaintsOnScreen() || !panel->ShowsEditingAids()) return;
    canvas.SetPen({canvas::PenStyle::Dash, 1, canvas::clBlack, canvas::PenMode::Copy});
    canvas.SetBrush({canvas::BrushStyle::Clear, canvas::clWhite, nullptr});
    canvas.Rectangle(rect);
    return;
  }
  TFlagScope busy(busy_);
  const TRect sourcePixels = source->GetPixelRect();
  if (!GetAutoSize() && (RectWidth(rect) != RectWidth(sourcePixels) || RectHeight(rect) != RectHeight(sourcePixels))) {
    PaintStretched(canvas, rect, *source);
    return;
  }
  const TRect doc = GetDocRect();
  source->PaintAll(canvas, doc.left, doc.top);
}

// Without a world transform on the canvas, the source is painted alone into a bitmap of its
// own pixel size and the bitmap is stretched into the clone's rectangle.
void TVexaClone::PaintStretched(canvas::Canvas& canvas, const TRect& rect, TVexaControl& source) {
  IVexaPanel& panel = *Owner();
  const TRect pixels = source.GetPixelRect();
  if (RectWidth(pixels) <= 0 || RectHeight(pixels) <= 0 || RectWidth(rect) <= 0 || RectHeight(rect) <= 0) return;
  canvas::Bitmap bitmap(RectWidth(pixels), RectHeight(pixels), kUntouched);
  std::unique_ptr<canvas::Canvas> inner = canvas::CreateBitmapCanvas(bitmap);
  if (!inner) return;
  {
    canvas::OffsetCanvas shifted(std::move(inner), {pixels.left, pixels.top});
    const TRect paintRect = panel.PaintRect();
    panel.SetPaintRect(pixels);
    const TRect doc = source.GetDocRect();
    try {
      source.PaintAll(shifted, doc.left, doc.top);
    } catch (...) {
      panel.SetPaintRect(paintRect);
      throw;
    }
    panel.SetPaintRect(paintRect);
  }
  bitmap.transparent = true;
  bitmap.transparentColor = kUntouched;
  canvas.StretchDraw(rect, bitmap);
}

}  // namespace pv::graphics
