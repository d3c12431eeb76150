#include "props/FontProp.h"

#include <algorithm>
#include <cstdint>

#include "base/Units.h"
#include "canvas/Canvas.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

namespace {

enum FontSub { kPixelsPerInchSub, kCharset, kColor, kHeight, kName, kPitch, kSize, kStyle };

constexpr TPublishedInfo kFontInfos[] = {
    {"PixelsPerInch", TPropKind::Plain}, {"Charset", TPropKind::Plain}, {"Color", TPropKind::Plain},
    {"Height", TPropKind::Plain},        {"Name", TPropKind::Plain},    {"Pitch", TPropKind::Plain},
    {"Size", TPropKind::Plain},          {"Style", TPropKind::Plain}};

// The largest size (thousandths of a point) whose height still fits 32 bits: a size up to it
// gives a height that gives the size back, so a saved size reads back as itself.
constexpr int32_t kMaxSize = 1610612735;

int32_t ClampSize(int64_t size) { return static_cast<int32_t>(std::clamp<int64_t>(size, -kMaxSize, kMaxSize)); }

// The point size of a platform font of that pixel height.
int64_t PointSize(int32_t pixelHeight) { return -int64_t{winmath::MulDiv(pixelHeight, 72, TFontProp::kPixelsPerInch)}; }

}  // namespace

std::function<bool(canvas::Font&)>& TFontProp::FontDialog() {
  static std::function<bool(canvas::Font&)> dialog;
  return dialog;
}

TFontProp::TFontProp() : height_(canvas::Font().height * 1000) { SetKind(TPropKind::SubProperties); }

void TFontProp::SetFont(const canvas::Font& font) {
  if (IsReadOnly()) return;
  DoBeforeChanged();
  font_ = font;
  const int64_t height = PointSize(font.height) * kPixelsPerInch * 1000 / -72;
  height_ = static_cast<int32_t>(std::clamp<int64_t>(height, -INT32_MAX, INT32_MAX));
  DoChanged();
}

void TFontProp::SetHeight(int32_t height) {
  if (height == height_ || IsReadOnly()) return;
  DoBeforeChanged();
  height_ = height;
  font_.height = height / 1000;
  DoChanged();
}

int32_t TFontProp::GetSize() const { return ClampSize(-int64_t{winmath::MulDiv(height_, 72, kPixelsPerInch)}); }

void TFontProp::SetSize(int32_t size) { SetHeight(-winmath::MulDiv(ClampSize(size), kPixelsPerInch, 72)); }

TFontStyles TFontProp::GetStyle() const {
  return {font_.weight >= canvas::FW_BOLD, font_.italic, font_.underline, font_.strikeOut};
}

void TFontProp::SetStyle(const TFontStyles& styles) {
  if (styles == GetStyle() || IsReadOnly()) return;
  DoBeforeChanged();
  font_.weight = styles.bold ? canvas::FW_BOLD : canvas::FW_NORMAL;
  font_.italic = styles.italic;
  font_.underline = styles.underline;
  font_.strikeOut = styles.strikeOut;
  DoChanged();
}

void TFontProp::Setup(canvas::Canvas& canvas, int32_t scale) {
  canvas::Font font = font_;
  font.height = ScaleValue(height_, scale);
  canvas.SetFont(font);
}

bool TFontProp::Edit() {
  if (!FontDialog()) return false;
  canvas::Font copy = font_;
  if (!FontDialog()(copy)) return false;
  SetFont(copy);
  return true;
}

TPublishedInfo TFontProp::PublishedInfo(int index) const { return kFontInfos[index]; }

PropValue TFontProp::GetPublished(int index) const {
  switch (index) {
    case kPixelsPerInchSub: return PropValue::Integer(kPixelsPerInch);
    case kCharset: return PropValue::Integer(font_.charset);
    case kColor: return PropValue::Integer(font_.color);
    case kHeight: return PropValue::Integer(height_);
    case kName: return PropValue::String(font_.name);
    case kPitch: return EnumValue(FontPitchNames(), static_cast<int>(font_.pitch));
    case kSize: return PropValue::Integer(GetSize());
    case kStyle: return PropValue::String(FontStylesText(GetStyle()));
  }
  return {};
}

void TFontProp::SetPublished(int index, const PropValue& value) {
  switch (index) {
    case kPixelsPerInchSub: break;  // fixed
    case kCharset: SetCharset(static_cast<uint8_t>(value.ToInteger())); break;
    case kColor: SetColor(value.ToInteger()); break;
    case kHeight: SetHeight(value.ToInteger()); break;
    case kName: SetName(value.ToString()); break;
    case kPitch: SetPitch(static_cast<FontPitch>(EnumIndex(FontPitchNames(), value))); break;
    case kSize: SetSize(value.ToInteger()); break;
    case kStyle: SetStyle(ParseFontStyles(value)); break;
  }
}

bool TFontProp::PublishedStored(int index) const {
  switch (index) {
    case kPixelsPerInchSub:
    case kHeight: return false;
    case kCharset: return font_.charset != 1;
    case kColor: return font_.color != 0;
    case kName:
    case kSize: return true;
    case kPitch: return font_.pitch != FontPitch::Default;
    case kStyle: return !GetStyle().Empty();
  }
  return false;
}

}  // namespace pv::graphics
