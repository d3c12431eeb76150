#include "props/BrushProp.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "picture/BmpCodec.h"
#include "props/LinkedFile.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

namespace {

enum BrushSub { kMethod, kColor, kStyle, kBitmap, kLinkName, kMasked, kMaskColor, kCache, kDisplay, kGradStyle,
                kGradBegin, kGradEnd, kBrushSubCount };

constexpr TPublishedInfo kBrushInfos[] = {
    {"Method", TPropKind::Plain},         {"Color", TPropKind::Plain},          {"Style", TPropKind::Plain},
    {"Bitmap", TPropKind::Binary},        {"BitmapLinkName", TPropKind::Plain}, {"BitmapMasked", TPropKind::Plain},
    {"BitmapMaskColor", TPropKind::Plain}, {"BitmapCache", TPropKind::Plain},   {"BitmapDisplay", TPropKind::Plain},
    {"GradStyle", TPropKind::Plain},      {"GradBeginColor", TPropKind::Plain}, {"GradEndColor", TPropKind::Plain},
};

// The corner styles in the order a quarter turn counter-clockwise moves them.
constexpr TGradientStyle kCornerCycle[] = {TGradientStyle::gsTopLeft, TGradientStyle::gsBottomLeft,
                                           TGradientStyle::gsBottomRight, TGradientStyle::gsTopRight};

}  // namespace

bool TBrushProp::IsClear() const {
  switch (method_) {
    case TBrushMethod::bmHatch: return brush_.color == clNone || brush_.style == BrushStyle::Clear;
    case TBrushMethod::bmBitmap: return !bitmap_ || bitmap_->Empty();
    case TBrushMethod::bmGradient: return false;
  }
  return false;
}

void TBrushProp::Setup(canvas::Canvas& canvas, int32_t) {
  Brush brush = brush_;
  if (method_ != TBrushMethod::bmHatch || brush_.color == clNone) brush.style = BrushStyle::Clear;
  canvas.SetBrush(brush);
}

void TBrushProp::PaintFill(canvas::Canvas& canvas, const TRect& rect, const TRect& clipRect, bool masked,
                           int32_t scalePercent) {
  if (method_ == TBrushMethod::bmGradient) {
    PaintGradient(canvas, rect, gradStyle_, canvas.GetPen().mode, gradBegin_, gradEnd_);
  } else if (method_ == TBrushMethod::bmBitmap && bitmap_) {
    PaintBitmapDisplay(canvas, rect, clipRect, masked, scalePercent, cacheOn_ ? &Extra().tileCache : nullptr, display_,
                       bitmap_.get());
  }
}

void TBrushProp::Transform(int32_t angle, bool mirrored) {
  if (method_ != TBrushMethod::bmGradient) return;
  const int32_t q = winmath::RoundHalfEven((((angle % 360) + 360) % 360) / 90.0) % 4;
  TGradientStyle style = gradStyle_;
  TColor begin = gradBegin_;
  TColor end = gradEnd_;
  switch (style) {
    case TGradientStyle::gsHorizontal:
      if (mirrored) std::swap(begin, end);
      if (q == 1) {
        style = TGradientStyle::gsVertical;
        std::swap(begin, end);
      } else if (q == 2) {
        std::swap(begin, end);
      } else if (q == 3) {
        style = TGradientStyle::gsVertical;
      }
      break;
    case TGradientStyle::gsVertical:
      if (q == 1) {
        style = TGradientStyle::gsHorizontal;
      } else if (q == 2) {
        std::swap(begin, end);
      } else if (q == 3) {
        style = TGradientStyle::gsHorizontal;
        std::swap(begin, end);
      }
      break;
    case TGradientStyle::gsSquare:
    case TGradientStyle::gsElliptic: break;
    default: {
      int i = 0;
      while (kCornerCycle[i] != style) ++i;
      if (mirrored) i = 3 - i;
      style = kCornerCycle[(i + q) % 4];
      break;
    }
  }
  if (style == gradStyle_ && begin == gradBegin_ && end == gradEnd_) return;
  if (IsReadOnly()) return;
  DoBeforeChanged();
  gradStyle_ = style;
  gradBegin_ = begin;
  gradEnd_ = end;
  DoChanged();
}

const std::string& TBrushProp::GetBitmapLinkName() const {
  static const std::string none;
  return extra_ ? extra_->linkName : none;
}

const TTileCache& TBrushProp::TileCache() const {
  static const TTileCache none;
  return extra_ ? extra_->tileCache : none;
}

TBrushProp::TExtra& TBrushProp::Extra() {
  if (!extra_) extra_ = std::make_unique<TExtra>();
  return *extra_;
}

void TBrushProp::DropTileCache() {
  if (extra_) extra_->tileCache.Drop();
}

void TBrushProp::ApplyMask() {
  bitmap_->transparent = masked_;
  bitmap_->transparentColor = maskColor_;
}

void TBrushProp::BitmapChanged() {
  if (bitmap_) {
    masked_ = bitmap_->transparent;
    maskColor_ = bitmap_->transparentColor;
  }
  DropTileCache();
  DoChanged();
}

void TBrushProp::SetBitmap(const Bitmap* bitmap) {
  if (IsReadOnly()) return;
  DoBeforeChanged();
  if (!bitmap) {
    bitmap_.reset();
  } else {
    bitmap_ = std::make_unique<Bitmap>(*bitmap);
    ApplyMask();
  }
  DropTileCache();
  DoChanged();
}

void TBrushProp::CreateBitmap(int32_t width, int32_t height) {
  const Bitmap empty(width, height);
  SetBitmap(&empty);
}

void TBrushProp::ClearBitmap() {
  if (!bitmap_ || IsReadOnly()) return;
  DoBeforeChanged();
  bitmap_.reset();
  if (extra_) extra_->linkName.clear();
  DropTileCache();
  DoChanged();
}

// Without a bitmap the value is kept in the field; with one it goes to the bitmap, whose change
// handling takes it back.
template <class T>
void TBrushProp::SetMaskField(T& field, T value, T Bitmap::*bitmapField) {
  if (value == field || IsReadOnly()) return;
  DoBeforeChanged();
  field = value;
  if (!bitmap_) {
    DoChanged();
    return;
  }
  (*bitmap_).*bitmapField = value;
  BitmapChanged();
}

void TBrushProp::SetBitmapMasked(bool masked) { SetMaskField(masked_, masked, &Bitmap::transparent); }

void TBrushProp::SetBitmapMaskColor(TColor color) { SetMaskField(maskColor_, color, &Bitmap::transparentColor); }

void TBrushProp::SetBitmapCache(bool on) {
  if (on == cacheOn_ || IsReadOnly()) return;
  DoBeforeChanged();
  cacheOn_ = on;
  DropTileCache();
  DoChanged();
}

void TBrushProp::SetBitmapLinkName(const std::string& name) {
  if (name == GetBitmapLinkName() || IsReadOnly()) return;
  DoBeforeChanged();
  Extra().linkName = name;
  if (name.empty()) {
    bitmap_.reset();
    BitmapChanged();
    return;
  }
  LoadLinkedBitmap();
}

bool TBrushProp::LoadLinkedBitmap() {
  bool loaded = false;
  const std::string path = ExpandLinkName(GetBitmapLinkName());
  std::error_code error;
  if (!GetBitmapLinkName().empty() && std::filesystem::is_regular_file(path, error)) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
      bitmap_ = std::make_unique<Bitmap>(picture::ReadBmp(bytes));
      ApplyMask();
      loaded = true;
    } catch (const picture::PictureError&) {
      bitmap_.reset();
    }
  } else {
    bitmap_.reset();
  }
  BitmapChanged();
  return loaded;
}

int TBrushProp::PublishedCount() const { return kBrushSubCount; }

TPublishedInfo TBrushProp::PublishedInfo(int index) const { return kBrushInfos[index]; }

PropValue TBrushProp::GetPublished(int index) const {
  switch (index) {
    case kMethod: return EnumValue(BrushMethodNames(), static_cast<int>(method_));
    case kColor: return PropValue::Integer(brush_.color);
    case kStyle: return EnumValue(BrushStyleNames(), static_cast<int>(brush_.style));
    case kBitmap: return bitmap_ ? PropValue::Bytes(picture::WriteBmp(*bitmap_)) : PropValue();
    case kLinkName: return PropValue::String(GetBitmapLinkName());
    case kMasked: return PropValue::Boolean(masked_);
    case kMaskColor: return PropValue::Integer(maskColor_);
    case kCache: return PropValue::Boolean(cacheOn_);
    case kDisplay: return EnumValue(BitmapDisplayNames(), static_cast<int>(display_));
    case kGradStyle: return EnumValue(GradientStyleNames(), static_cast<int>(gradStyle_));
    case kGradBegin: return PropValue::Integer(gradBegin_);
    case kGradEnd: return PropValue::Integer(gradEnd_);
  }
  return {};
}

void TBrushProp::SetPublished(int index, const PropValue& value) {
  switch (index) {
    case kMethod: SetMethod(static_cast<TBrushMethod>(EnumIndex(BrushMethodNames(), value))); break;
    case kColor: SetColor(value.ToInteger()); break;
    case kStyle: SetStyle(static_cast<BrushStyle>(EnumIndex(BrushStyleNames(), value))); break;
    case kBitmap: {
      // Clears first; a byte array that is not a bitmap leaves it cleared and says so.
      ClearBitmap();
      if (value.GetKind() == PropValue::Kind::Bytes && !value.AsBytes().empty()) {
        const Bitmap read = picture::ReadBmp(value.AsBytes());
        SetBitmap(&read);
      }
      break;
    }
    case kLinkName: SetBitmapLinkName(value.ToString()); break;
    case kMasked: SetBitmapMasked(value.ToBoolean()); break;
    case kMaskColor: SetBitmapMaskColor(value.ToInteger()); break;
    case kCache: SetBitmapCache(value.ToBoolean()); break;
    case kDisplay: SetBitmapDisplay(static_cast<TBitmapDisplay>(EnumIndex(BitmapDisplayNames(), value))); break;
    case kGradStyle: SetGradStyle(static_cast<TGradientStyle>(EnumIndex(GradientStyleNames(), value))); break;
    case kGradBegin: SetGradBeginColor(value.ToInteger()); break;
    case kGradEnd: SetGradEndColor(value.ToInteger()); break;
  }
}

bool TBrushProp::PublishedStored(int index) const {
  switch (index) {
    case kMethod: return method_ != TBrushMethod::bmHatch;
    case kColor: return brush_.color != clNone;
    case kStyle: return brush_.style != BrushStyle::Solid;
    case kBitmap: return bitmap_ && GetBitmapLinkName().empty();
    case kLinkName: return !GetBitmapLinkName().empty();
    case kMasked: return masked_;
    case kMaskColor: return maskColor_ != 0;
    case kCache: return cacheOn_;
    case kDisplay: return display_ != TBitmapDisplay::bdTile;
    case kGradStyle: return gradStyle_ != TGradientStyle::gsHorizontal;
    case kGradBegin: return gradBegin_ != 0;
    case kGradEnd: return gradEnd_ != 0;
  }
  return false;
}

}  // namespace pv::graphics
