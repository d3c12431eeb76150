#include "props/PenProps.h"

#include <algorithm>
#include <cstdint>

#include "base/Units.h"
#include "canvas/Canvas.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

namespace {

constexpr TPublishedInfo kPenInfos[] = {
    {"Color", TPropKind::Plain}, {"Style", TPropKind::Plain}, {"Mode", TPropKind::Plain}, {"Width", TPropKind::Plain}};

constexpr TPublishedInfo kCapInfos[] = {
    {"CapStyle", TPropKind::Plain},     {"FixedSize", TPropKind::Plain},    {"Size", TPropKind::Plain},
    {"FixedOutlineColor", TPropKind::Plain}, {"OutlineColor", TPropKind::Plain}, {"FixedFillColor", TPropKind::Plain},
    {"FillColor", TPropKind::Plain}};

}  // namespace

int32_t TPenProp::GetActualWidth() const {
  if (pen_.color == clNone || pen_.style == PenStyle::Clear) return 0;
  if (pen_.style != PenStyle::Solid) return 1000;
  return width_;
}

void TPenProp::Setup(canvas::Canvas& canvas, int32_t scale) {
  Pen pen = pen_;
  if (pen_.style == PenStyle::Solid) {
    pen.width = std::max(1, ScaleValue(width_, scale));
  } else {
    pen.width = 0;  // patterns are drawn one pixel wide
  }
  if (pen_.color == clNone) {
    pen.style = PenStyle::Clear;
  } else if (pen.style != PenStyle::Clear && pen.width > 1) {
    pen.style = PenStyle::InsideFrame;
  }
  canvas.SetPen(pen);
}

TPublishedInfo TPenProp::PublishedInfo(int index) const { return kPenInfos[index]; }

PropValue TPenProp::GetPublished(int index) const {
  switch (index) {
    case 0: return PropValue::Integer(pen_.color);
    case 1: return EnumValue(PenStyleNames(), static_cast<int>(pen_.style));
    case 2: return EnumValue(PenModeNames(), PenModeIndex(pen_.mode));
    case 3: return PropValue::Integer(width_);
  }
  return {};
}

void TPenProp::SetPublished(int index, const PropValue& value) {
  switch (index) {
    case 0: SetColor(value.ToInteger()); break;
    case 1: SetStyle(static_cast<PenStyle>(EnumIndex(PenStyleNames(), value))); break;
    case 2: SetMode(PenModeAt(EnumIndex(PenModeNames(), value))); break;
    case 3: SetWidth(value.ToInteger()); break;
  }
}

bool TPenProp::PublishedStored(int index) const {
  switch (index) {
    case 0: return pen_.color != 0;
    case 1: return pen_.style != PenStyle::Solid;
    case 2: return pen_.mode != PenMode::Copy;
    case 3: return width_ != 1000;
  }
  return false;
}

int32_t TLineCapProp::GetActualSize(int32_t penWidth, int32_t unit) const {
  if (fixedSize_) return unit == 1000 ? size_ : winmath::MulDiv(size_, unit, 1000);
  // A pen as wide as the 32-bit range allows has a cap of the widest size, not a wrapped one.
  const int64_t size = int64_t{winmath::MulDiv(8000, unit, 1000)} + 2 * int64_t{penWidth} - 2 * int64_t{unit};
  return static_cast<int32_t>(std::clamp<int64_t>(size, INT32_MIN, INT32_MAX));
}

TPublishedInfo TLineCapProp::PublishedInfo(int index) const { return kCapInfos[index]; }

PropValue TLineCapProp::GetPublished(int index) const {
  switch (index) {
    case 0: return PropValue::Integer(capStyle_);
    case 1: return PropValue::Boolean(fixedSize_);
    case 2: return PropValue::Integer(size_);
    case 3: return PropValue::Boolean(fixedOutline_);
    case 4: return PropValue::Integer(outlineColor_);
    case 5: return PropValue::Boolean(fixedFill_);
    case 6: return PropValue::Integer(fillColor_);
  }
  return {};
}

void TLineCapProp::SetPublished(int index, const PropValue& value) {
  switch (index) {
    case 0: SetCapStyle(value.ToInteger()); break;
    case 1: SetFixedSize(value.ToBoolean()); break;
    case 2: SetSize(value.ToInteger()); break;
    case 3: SetFixedOutlineColor(value.ToBoolean()); break;
    case 4: SetOutlineColor(value.ToInteger()); break;
    case 5: SetFixedFillColor(value.ToBoolean()); break;
    case 6: SetFillColor(value.ToInteger()); break;
  }
}

bool TLineCapProp::PublishedStored(int index) const {
  switch (index) {
    case 0: return capStyle_ != 0;
    case 1: return fixedSize_;
    case 2: return size_ != 8000;
    case 3: return fixedOutline_;
    case 4: return outlineColor_ != 0;
    case 5: return fixedFill_;
    case 6: return fillColor_ != clWhite;
  }
  return false;
}

}  // namespace pv::graphics
