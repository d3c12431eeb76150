#include "shapes/VexaText.h"

#include <algorithm>
#include <cmath>

#include "base/Units.h"
#include "canvas/BitmapCanvas.h"
#include "controls/VexaPanel.h"
#include "document/FlagScope.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

const TVexaControlClass TVexaText::ClassInfo{{"TVexaText", &TVexaBox::ClassInfo.ref},
                                             &TVexaControl::Creator<TVexaText>};

namespace {

const std::vector<std::string> kAlignmentNames{"LeftJustify", "RightJustify", "Center"};
const std::vector<std::string> kLayoutNames{"Top", "Center", "Bottom"};

int32_t Clamp32(int64_t v) { return winmath::ClampToInt32(v); }

}  // namespace

// --- properties and creation

void TVexaText::CreateProperties() {
  TVexaBox::CreateProperties();
  TPropList& p = Props();
  autoSize_ = p.Create<TBoolProp>("AutoSize");
  text_ = p.Create<TStrListProp>("Text");
  font_ = p.Create<TFontProp>("Font");
  wordWrap_ = p.Create<TBoolProp>("WordWrap");
  grayed_ = p.Create<TBoolProp>("Grayed");
  angle_ = p.Create<TIntProp>("Angle");
  alignment_ = p.Create<TEnumProp>("Alignment", &kAlignmentNames);
  layout_ = p.Create<TEnumProp>("Layout", &kLayoutNames);
  precise_ = p.Create<TBoolProp>("Precise");
  preciseJustify_ = p.Create<TBoolProp>("PreciseJustify");
}

void TVexaText::ControlCreate() {
  TVexaBox::ControlCreate();
  text_->SetText(GetName());
  Brush().SetColor(canvas::clNone);
  Pen().SetStyle(canvas::PenStyle::Clear);
  // The whole box hits, not only its outline, though its brush is clear.
  SetHitAsFilled(true);
}

void TVexaText::ControlDestroy() {
  formator_.reset();
  TVexaBox::ControlDestroy();
}

void TVexaText::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaBox::PropStored(prop, subName, stored);
  if (&prop == &Pen() && subName == "Style") stored = Pen().GetStyle() != canvas::PenStyle::Clear;
  if (!subName.empty()) return;
  if (&prop == autoSize_) stored = GetAutoSize();
  if (&prop == text_) stored = text_->GetCount() > 0;
  if (&prop == wordWrap_) stored = GetWordWrap();
  if (&prop == grayed_) stored = GetGrayed();
  if (&prop == angle_) stored = GetAngle() != 0;
  if (&prop == alignment_) stored = GetAlignment() != 0;
  if (&prop == layout_) stored = GetLayout() != 0;
  if (&prop == precise_) stored = GetPrecise();
  if (&prop == preciseJustify_) stored = GetPreciseJustify();
}

void TVexaText::Rotate(const TRotateRec& rec) {
  // In 64 bits: a loaded angle may be anything.
  int64_t angle = (int64_t{GetAngle()} + rec.angle) % 360;
  if (angle < 0) angle += 360;
  SetAngle(static_cast<int32_t>(angle));
  if (angle != 0) SetAutoSize(false);
  TVexaBox::Rotate(rec);
}

// --- AutoSize

void TVexaText::SetSizeReadOnly(bool width, bool height) {
  width_->SetFlag(pfReadOnly, width);
  height_->SetFlag(pfReadOnly, height);
}

void TVexaText::PropChanged(TCustomProp& prop) {
  TVexaBox::PropChanged(prop);
  if (!preciseJustify_) return;  // the properties are still being made
  if (&prop == autoSize_) {
    ApplyAutoSize();
    return;
  }
  if (GetAutoSize() && !sizing_ && &prop != left_ && &prop != top_) FollowText();
}

void TVexaText::ApplyAutoSize() {
  TFlagScope sizing(sizing_);
  refreshScale_ = 0;
  if (!GetAutoSize()) {
    SetSizeReadOnly(false, false);
    return;
  }
  const TSize size = TextSize();
  if (size.cx == 0 && size.cy == 0) return;
  const int64_t frame = 2 * int64_t{FrameWidth()};
  const bool keepWidth = GetWordWrap() || (Owner() && Owner()->IsLoading());
  SetSizeReadOnly(false, false);
  BeginUpdate();
  SetHeight(Clamp32(frame + size.cy));
  if (!keepWidth) SetWidth(Clamp32(frame + size.cx));
  EndUpdate();
  SetSizeReadOnly(!keepWidth, true);
}

// Another property changed while the box follows its text: the text is measured again.
void TVexaText::FollowText() {
  refreshScale_ = 0;
  const TSize size = TextSize();
  const int64_t frame = 2 * int64_t{FrameWidth()};
  int32_t w = Clamp32(int64_t{size.cx} + frame);
  int32_t h = Clamp32(int64_t{size.cy} + frame);
  if (w == 0 && h == 0) return;
  w = std::max(w, 1);
  h = std::max(h, 1);
  const bool keepWidth = GetWordWrap() || (Owner() && Owner()->IsLoading());
  if (h == GetHeight() && (keepWidth || w == GetWidth())) {
    SetSizeReadOnly(!keepWidth, true);  // word wrap may have come on: the width is free again
    return;
  }
  TFlagScope sizing(sizing_);
  SetSizeReadOnly(false, false);
  BeginUpdate();
  SetHeight(h);
  if (!keepWidth) SetWidth(w);
  EndUpdate();
  SetSizeReadOnly(!keepWidth, true);
}

TSize TVexaText::TextSize() {
  canvas::Bitmap scratch(1, 1);
  std::unique_ptr<canvas::Canvas> canvas = canvas::CreateBitmapCanvas(scratch);
  if (!canvas) return {};
  TRect rect{0, 0, InnerWidth() / 1000, 0};
  TextRect(*canvas, rect, false, true);
  return {rect.right, rect.bottom};
}

int32_t TVexaText::InnerWidth() const { return Clamp32(int64_t{GetWidth()} - 2 * int64_t{FrameWidth()}); }

// --- refresh rectangle

TRect TVexaText::GetRefreshRect(int32_t x, int32_t y) const {
  const IVexaPanel* panel = Owner();
  if (!panel || !panel->PaintsOnScreen() || !GetAutoSize() || GetPrecise()) return TVexaBox::GetRefreshRect(x, y);
  if (refreshScale_ != panel->Scale() && !sizing_) {
    refreshCache_ = MeasuredRefreshRect();
    refreshScale_ = panel->Scale();
  }
  TRect r = refreshCache_;
  const int32_t w = GetWidth();
  const int32_t h = GetHeight();
  const int64_t measuredW = int64_t{r.right} - r.left;
  const int64_t measuredH = int64_t{r.bottom} - r.top;
  if (w < measuredW) {
    if (GetAlignment() == static_cast<int>(TTextAlignment::RightJustify)) r.left = Clamp32(int64_t{w} + 2 * int64_t{r.left} - r.right);
    if (GetAlignment() == static_cast<int>(TTextAlignment::Center)) {
      const int64_t half = (measuredW - w) / 2;
      r.left = Clamp32(r.left - half);
      r.right = Clamp32(r.right + half);
    }
  }
  if (h < measuredH) {
    if (GetLayout() == static_cast<int>(TTextLayout::Center)) {
      const int64_t half = (measuredH - h) / 2;
      r.top = Clamp32(r.top - half);
      r.bottom = Clamp32(r.bottom + half);
    }
    if (GetLayout() == static_cast<int>(TTextLayout::Bottom)) r.top = Clamp32(int64_t{h} + 2 * int64_t{r.top} - r.bottom);
  }
  r.right = std::max(r.right, w);
  r.bottom = std::max(r.bottom, h);
  return {Clamp32(int64_t{r.left} + x), Clamp32(int64_t{r.top} + y), Clamp32(int64_t{r.right} + x),
          Clamp32(int64_t{r.bottom} + y)};
}

// The plain text measured at the panel's scale, in document units, widened by the glyphs'
// overhang beyond their cells.
TRect TVexaText::MeasuredRefreshRect() const {
  const int32_t scale = Owner()->Scale();
  canvas::Bitmap scratch(1, 1);
  std::unique_ptr<canvas::Canvas> canvas = canvas::CreateBitmapCanvas(scratch);
  if (!canvas || scale <= 0) return {0, 0, GetWidth(), GetHeight()};
  const int32_t pen = FrameWidth();
  TRect measured{0, 0, ScaleValue(InnerWidth(), scale), 0};
  // Measuring changes no property of the text: only the canvas and the layout's scratch state.
  auto& self = const_cast<TVexaText&>(*this);
  self.TextRect(*canvas, measured, true, true);
  const auto toDoc = [&](int32_t v) {
    return Clamp32(std::llround((200.0 * pen + 100.0 * v) / scale));
  };
  TRect r{0, 0, toDoc(measured.right), toDoc(measured.bottom)};
  font_->Setup(*canvas, 100);
  int32_t overhangLeft = 0;
  int32_t overhangRight = 0;
  TCharWidths widths;
  if (ReadCharWidths(*canvas, widths)) {
    for (const canvas::ABC& abc : widths.abc) {
      overhangLeft = std::max(overhangLeft, -abc.a);
      overhangRight = std::max(overhangRight, -abc.c);
    }
  }
  r.left -= overhangLeft * 1000;
  r.right += overhangRight * 1000;
  return r;
}

// --- painting

int32_t TVexaText::PaintScale() const { return Owner() ? Owner()->Scale() : 100; }

TVexaText::TLayoutArgs TVexaText::CurrentLayout(bool scaled, bool measure) const {
  TLayoutArgs a;
  a.preciseJustify = GetPreciseJustify();
  a.precise = GetPrecise();
  a.wordWrap = GetWordWrap();
  a.layout = static_cast<TTextLayout>(GetLayout());
  a.alignment = static_cast<TTextAlignment>(GetAlignment());
  a.scaled = scaled;
  a.measure = measure;
  return a;
}

void TVexaText::TextRect(canvas::Canvas& canvas, TRect& rect, bool scaled, bool measure) {
  DrawTextEx(canvas, rect, CurrentLayout(scaled, measure), ModelText());
}

void TVexaText::Paint(canvas::Canvas& canvas, const TRect& rect) {
  TVexaBox::Paint(canvas, rect);
  TRect inner = rect;
  const int32_t pen = ScaleValue(FrameWidth(), PaintScale());
  if (FrameWidth() > 0) {
    inner = {rect.left + pen, rect.top + pen, rect.right - pen, rect.bottom - pen};
  } else if (GetRoundness() == 0) {
    inner.right -= 1;
    inner.bottom -= 1;
  }
  TextRect(canvas, inner, true, false);
}

}  // namespace pv::graphics
