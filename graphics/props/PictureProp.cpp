#include "props/PictureProp.h"

#include <filesystem>

#include "paint/BitmapRegion.h"
#include "paint/ClipHelpers.h"
#include "picture/Graphics.h"
#include "props/LinkedFile.h"

namespace pv::graphics {

namespace {

enum PictureSub { kGraphic, kColumns, kRows, kMasked, kMaskColor, kLinkName, kFastBuffer };

constexpr TPublishedInfo kPictureInfos[] = {
    {"Graphic", TPropKind::Binary}, {"Columns", TPropKind::Plain},  {"Rows", TPropKind::Plain},
    {"Masked", TPropKind::Plain},   {"MaskColor", TPropKind::Plain}, {"LinkName", TPropKind::Plain},
    {"FastBuffer", TPropKind::Plain}};

constexpr const char* kBufferedText = "Can't change buffered picture";

const Bitmap* BitmapOf(const picture::Graphic* graphic) {
  const auto* bitmap = dynamic_cast<const picture::BitmapGraphic*>(graphic);
  return bitmap ? &bitmap->GetBitmap() : nullptr;
}

}  // namespace

bool TPictureProp::IsBitmap() const { return BitmapOf(picture_.GetGraphic()) != nullptr; }

void TPictureProp::RequireUnbuffered() const {
  if (buffered_) throw EPictureProp(kBufferedText);
}

void TPictureProp::SetGraphic(const picture::Graphic* graphic) {
  RequireUnbuffered();
  if (IsReadOnly()) return;
  DoBeforeChanged();
  picture_.SetGraphic(graphic);
  PictureChanged();
}

void TPictureProp::PictureChanged() {
  const picture::Graphic* graphic = picture_.GetGraphic();
  if (!IsBitmap()) columns_ = rows_ = 1;
  if (graphic) {
    graphicClass_ = graphic->ClassName();
    empty_ = graphic->Empty();
    width_ = graphic->Width();
    height_ = graphic->Height();
    masked_ = graphic->Transparent();
    if (const Bitmap* bitmap = BitmapOf(graphic)) {
      // An automatic transparent colour is the bottom-left pixel's.
      maskColor_ = bitmap->transparentColor == clDefault ? static_cast<TColor>(bitmap->TransparentRGB())
                                                         : bitmap->transparentColor;
    }
  } else {
    graphicClass_.clear();
    empty_ = true;
    width_ = height_ = 0;
  }
  if (fastBufferOn_) DrawToBuffer();
  DoChanged();
}

void TPictureProp::SetGrid(int32_t& field, int32_t value) {
  if (value < 1 || (!IsBitmap() && !fastBufferOn_)) return;
  ChangeValue(field, value);
}

void TPictureProp::SetColumns(int32_t columns) { SetGrid(columns_, columns); }
void TPictureProp::SetRows(int32_t rows) { SetGrid(rows_, rows); }

void TPictureProp::SetMasked(bool masked) {
  if (masked == masked_ || IsReadOnly()) return;
  DoBeforeChanged();
  picture::Graphic* graphic = picture_.GetGraphic();
  if (buffered_ || empty_ || !graphic) {
    masked_ = masked;
    DoChanged();
    return;
  }
  graphic->SetTransparent(masked);
  PictureChanged();
}

void TPictureProp::SetMaskColor(TColor color) {
  if (color == maskColor_ || IsReadOnly()) return;
  DoBeforeChanged();
  auto* bitmap = dynamic_cast<picture::BitmapGraphic*>(picture_.GetGraphic());
  if (buffered_ || empty_ || !bitmap) {
    maskColor_ = color;
    DoChanged();
    return;
  }
  bitmap->GetBitmap().transparentColor = color;
  PictureChanged();
}

void TPictureProp::SetLinkName(const std::string& name) {
  RequireUnbuffered();
  if (name == linkName_ || IsReadOnly()) return;
  DoBeforeChanged();
  linkName_ = name;
  picture_.SetGraphic(nullptr);
  if (!name.empty()) {
    // A missing or unreadable file leaves the picture empty.
    const std::string path = ExpandLinkName(name);
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
      try {
        picture_.LoadFromFile(path);
      } catch (const picture::PictureError&) {
      }
    }
  }
  PictureChanged();
}

void TPictureProp::SetFastBuffer(bool on) {
  if (on == fastBufferOn_ || IsReadOnly() || (on && buffered_)) return;
  DoBeforeChanged();
  fastBuffer_.reset();
  fastBufferOn_ = on;
  if (on) {
    fastBuffer_ = std::make_unique<TAlphaBuffer>();
    DrawToBuffer();
  }
  DoChanged();
}

void TPictureProp::SetBuffered(bool on) {
  if (on == buffered_) return;
  if (on) {
    SetFastBuffer(false);
    buffer_ = picture_.SaveToStream();
    picture_.SetGraphic(nullptr);
    buffered_ = true;
    return;
  }
  picture_.LoadFromStream(buffer_);
  if (picture::Graphic* graphic = picture_.GetGraphic()) {
    graphic->SetTransparent(masked_);
    if (auto* bitmap = dynamic_cast<picture::BitmapGraphic*>(graphic)) bitmap->GetBitmap().transparentColor = maskColor_;
  }
  buffer_.clear();
  buffer_.shrink_to_fit();
  buffered_ = false;
}

TSize TPictureProp::GetFrameSize() const {
  if (empty_) return {};
  if (IsBitmap() || fastBufferOn_) return {width_ / columns_, height_ / rows_};
  return {width_, height_};
}

TRect TPictureProp::GetFrameRect(int32_t index) const {
  const TRect whole{0, 0, width_, height_};
  if (!(IsBitmap() || fastBufferOn_) || index < 0 || index / columns_ >= rows_) return whole;
  const TSize cell = GetFrameSize();
  const int32_t left = (index % columns_) * cell.cx;
  const int32_t top = (index / columns_) * cell.cy;
  return {left, top, left + cell.cx, top + cell.cy};
}

std::unique_ptr<Bitmap> TPictureProp::CreateFrameBitmap(const Bitmap& bitmap, int32_t index) const {
  const TRect cell = IntersectRect(GetFrameRect(index), {0, 0, bitmap.Width(), bitmap.Height()});
  if (cell.IsEmpty()) return nullptr;
  auto frame = std::make_unique<Bitmap>(cell.Width(), cell.Height());
  for (int32_t y = 0; y < cell.Height(); ++y) {
    std::copy_n(bitmap.Row(cell.top + y) + cell.left, cell.Width(), frame->Row(y));
  }
  frame->transparent = bitmap.transparent;
  frame->transparentColor = bitmap.transparentColor;
  return frame;
}

void TPictureProp::Draw(canvas::Canvas& canvas, const TRect& rect, TAlphaBuffer* target, bool masked,
                        int32_t frameIndex) {
  if (fastBufferOn_ && fastBuffer_ && target) {
    const bool whole = (columns_ <= 1 && rows_ < 2) || frameIndex < 0;
    const TRect source = whole ? TRect{0, 0, fastBuffer_->Pixels().Width(), fastBuffer_->Pixels().Height()}
                               : GetFrameRect(frameIndex);
    fastBuffer_->PaintTo(*target, rect, source);
    return;
  }
  picture::Picture readBack;
  const picture::Graphic* graphic = picture_.GetGraphic();
  if (buffered_) {
    readBack.LoadFromStream(buffer_);
    if (picture::Graphic* g = readBack.GetGraphic()) {
      g->SetTransparent(masked_);
      if (auto* bitmap = dynamic_cast<picture::BitmapGraphic*>(g)) bitmap->GetBitmap().transparentColor = maskColor_;
    }
    graphic = readBack.GetGraphic();
  }
  if (!graphic || graphic->Empty()) return;
  std::unique_ptr<picture::BitmapGraphic> frame;
  const Bitmap* bitmap = BitmapOf(graphic);
  if (bitmap && (columns_ > 1 || rows_ > 1) && frameIndex >= 0) {
    if (auto cell = CreateFrameBitmap(*bitmap, frameIndex)) {
      frame = std::make_unique<picture::BitmapGraphic>(std::move(*cell));
      graphic = frame.get();
      bitmap = &frame->GetBitmap();
    }
  }
  Region clip = Region::FromRect(rect);
  if (masked && bitmap && bitmap->transparent) AddBitmapMaskRegion(*bitmap, rect, clip);
  const auto saved = IntersectClipRgn(canvas, clip);
  graphic->Draw(canvas, rect);
  RestoreClip(canvas, saved);
}

void TPictureProp::DrawToBuffer() {
  if (!fastBuffer_) return;
  const picture::Graphic* graphic = picture_.GetGraphic();
  if (!graphic) {
    fastBuffer_->CreateFromGraphic(nullptr);
    return;
  }
  TAlphaBuffer& buffer = *fastBuffer_;
  fastBuffer_->CreateFromGraphic(graphic, [this, &buffer](canvas::Canvas& canvas, const picture::Graphic& g) {
    bool canPaint = true;
    if (OnPaint) OnPaint(*this, buffer, canPaint, g, canvas);
    if (canPaint) g.Draw(canvas, {0, 0, g.Width(), g.Height()});
  });
}

std::vector<uint8_t> TPictureProp::StreamBytes() const { return buffered_ ? buffer_ : picture_.SaveToStream(); }

TPublishedInfo TPictureProp::PublishedInfo(int index) const { return kPictureInfos[index]; }

PropValue TPictureProp::GetPublished(int index) const {
  switch (index) {
    case kGraphic: return empty_ || !linkName_.empty() ? PropValue() : PropValue::Bytes(StreamBytes());
    case kColumns: return PropValue::Integer(columns_);
    case kRows: return PropValue::Integer(rows_);
    case kMasked: return PropValue::Boolean(masked_);
    case kMaskColor: return PropValue::Integer(maskColor_);
    case kLinkName: return PropValue::String(linkName_);
    case kFastBuffer: return PropValue::Boolean(fastBufferOn_);
  }
  return {};
}

void TPictureProp::SetPublished(int index, const PropValue& value) {
  switch (index) {
    case kGraphic: {
      if (!linkName_.empty()) return;
      if (value.GetKind() != PropValue::Kind::Bytes || value.AsBytes().empty()) {
        SetGraphic(nullptr);
        return;
      }
      picture::Picture read;
      read.LoadFromStream(value.AsBytes());  // a bad stream throws before anything changes
      const bool wasBuffered = buffered_;
      if (wasBuffered) SetBuffered(false);
      SetGraphic(read.GetGraphic());
      if (wasBuffered) SetBuffered(true);
      break;
    }
    case kColumns: SetColumns(value.ToInteger()); break;
    case kRows: SetRows(value.ToInteger()); break;
    case kMasked: SetMasked(value.ToBoolean()); break;
    case kMaskColor: SetMaskColor(value.ToInteger()); break;
    case kLinkName: SetLinkName(value.ToString()); break;
    case kFastBuffer: SetFastBuffer(value.ToBoolean()); break;
  }
}

bool TPictureProp::PublishedStored(int index) const {
  switch (index) {
    case kGraphic: return !empty_ && linkName_.empty();
    case kColumns: return columns_ > 1;
    case kRows: return rows_ > 1;
    case kMasked: return masked_;
    case kMaskColor: return maskColor_ != 0;
    case kLinkName: return !linkName_.empty();
    case kFastBuffer: return fastBufferOn_;
  }
  return false;
}

}  // namespace pv::graphics
