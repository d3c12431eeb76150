#include "shapes/VexaPicture.h"

#include "controls/VexaPanel.h"

namespace pv::graphics {

const TVexaControlClass TVexaPicture::ClassInfo{{"TVexaPicture", &TVexaControl::ClassInfo.ref},
                                                &TVexaControl::Creator<TVexaPicture>};

void TVexaPicture::CreateProperties() {
  TVexaControl::CreateProperties();
  autoSize_ = Props().Create<TBoolProp>("AutoSize");
  picture_ = Props().Create<TPictureProp>("Picture");
  frameIndex_ = Props().Create<TIntProp>("FrameIndex");
}

void TVexaPicture::ControlCreate() {
  SetWidth(1);
  SetHeight(1);
  // Only an index other than 1 is stored, so 1 is where every picture starts: a loaded picture
  // then gets back exactly the index it was saved with.
  SetFrameIndex(1);
  TVexaControl::ControlCreate();
  SetVisible(true);
}

void TVexaPicture::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaControl::PropStored(prop, subName, stored);
  if (!subName.empty()) return;
  if (&prop == autoSize_) stored = GetAutoSize();
  if (&prop == frameIndex_) stored = GetFrameIndex() != 1;
}

void TVexaPicture::SetSizeReadOnly(bool readOnly) {
  width_->SetFlag(pfReadOnly, readOnly);
  height_->SetFlag(pfReadOnly, readOnly);
}

void TVexaPicture::PropChanged(TCustomProp& prop) {
  TVexaControl::PropChanged(prop);
  if (!frameIndex_) return;  // the properties are still being made
  if (&prop == autoSize_ && !GetAutoSize()) {
    SetSizeReadOnly(false);
    return;
  }
  if ((&prop == autoSize_ || &prop == picture_) && GetAutoSize()) FitToPicture();
}

// The box takes the picture's size in pixels at 100 % and keeps it.
void TVexaPicture::FitToPicture() {
  if (!HasPicture()) return;
  const int64_t w = int64_t{picture_->GraphicWidth()} * 1000;
  const int64_t h = int64_t{picture_->GraphicHeight()} * 1000;
  constexpr int64_t kMax = INT32_MAX;
  SetSizeReadOnly(false);
  BeginUpdate();
  SetWidth(static_cast<int32_t>(std::min(w, kMax)));
  SetHeight(static_cast<int32_t>(std::min(h, kMax)));
  EndUpdate();
  SetSizeReadOnly(true);
}

TPoint TVexaPicture::GetLinkPoint(int index) const {
  const int32_t w = GetWidth() - 1000;
  const int32_t h = GetHeight() - 1000;
  const int32_t cx = w / 2;
  const int32_t cy = h / 2;
  const TPoint points[9] = {{0, 0}, {cx, 0}, {w, 0}, {w, cy}, {w, h}, {cx, h}, {0, h}, {0, cy}, {cx, cy}};
  return index >= 0 && index < 9 ? points[index] : TPoint{};
}

bool TVexaPicture::IsPointInside(int32_t x, int32_t y) const {
  const IVexaPanel* panel = Owner();
  if (!HasPicture() && !(panel && panel->ShowsEditingAids())) return false;
  return TVexaControl::IsPointInside(x, y);
}

void TVexaPicture::PaintAll(canvas::Canvas& canvas, int32_t originX, int32_t originY) {
  // The pre-rendered frames live in an alpha buffer: they are copied from buffer to buffer.
  if (picture_->FastBufferObject()) SetTransparencyMode(1);
  TVexaControl::PaintAll(canvas, originX, originY);
}

void TVexaPicture::Paint(canvas::Canvas& canvas, const TRect& rect) {
  if (!HasPicture()) {
    PaintPlaceholder(canvas, rect);
    return;
  }
  TAlphaBuffer* buffer = AlphaBufferInUse();
  const bool transparent = buffer || GetTransparency() > 0;
  picture_->Draw(canvas, rect, buffer, transparent, GetFrameIndex());
}

// An empty picture is invisible but for a crossed frame while it is being edited.
void TVexaPicture::PaintPlaceholder(canvas::Canvas& canvas, const TRect& rect) {
  const IVexaPanel* panel = Owner();
  if (!panel || !panel->PaintsOnScreen() || !panel->ShowsEditingAids()) return;
  canvas.SetPen(canvas::Pen{});
  canvas.SetBrush(canvas::Brush{});
  canvas.SetBrushStyle(canvas::BrushStyle::Clear);
  canvas.Rectangle(rect);
  if (RectWidth(rect) < 2 || RectHeight(rect) < 2) return;
  canvas.MoveTo(rect.left, rect.top);
  canvas.LineTo(rect.right - 1, rect.bottom - 1);
  canvas.MoveTo(rect.right - 1, rect.top);
  canvas.LineTo(rect.left, rect.bottom - 1);
}

}  // namespace pv::graphics
