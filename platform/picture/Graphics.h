#pragma once
// The graphic kinds a picture can hold: a bitmap (BMP), a JPEG image (JFIF), an icon (ICO) and a
// metafile (WMF or EMF).

#include "canvas/Bitmap.h"
#include "picture/Graphic.h"

namespace pv::picture {

using canvas::Bitmap;

// Pixels, with a transparent colour switched on by Transparent (the bitmap's own fields).
class BitmapGraphic : public Graphic {
 public:
  BitmapGraphic() = default;
  explicit BitmapGraphic(Bitmap bitmap) : bitmap_(std::move(bitmap)) {}
  const char* ClassName() const override { return "TBitmap"; }
  std::unique_ptr<Graphic> Clone() const override { return std::make_unique<BitmapGraphic>(*this); }
  bool Empty() const override { return bitmap_.Empty(); }
  int32_t Width() const override { return bitmap_.Width(); }
  int32_t Height() const override { return bitmap_.Height(); }
  bool Transparent() const override { return bitmap_.transparent; }
  void SetTransparent(bool on) override { bitmap_.transparent = on; }
  void Draw(Canvas& canvas, const TRect& rect) const override;
  void LoadFromBytes(std::span<const uint8_t> bytes) override;
  std::vector<uint8_t> SaveToBytes() const override;

  Bitmap& GetBitmap() { return bitmap_; }
  const Bitmap& GetBitmap() const { return bitmap_; }

 private:
  Bitmap bitmap_;
};

// A graphic kept as the file it was read from (saved unchanged) with its decoded pixels.
class EncodedGraphic : public Graphic {
 public:
  bool Empty() const override { return pixels_.Empty(); }
  int32_t Width() const override { return pixels_.Width(); }
  int32_t Height() const override { return pixels_.Height(); }
  // The graphic is replaced only when the bytes decode.
  void LoadFromBytes(std::span<const uint8_t> bytes) override;
  std::vector<uint8_t> SaveToBytes() const override { return bytes_; }
  const Bitmap& Pixels() const { return pixels_; }

 protected:
  virtual Bitmap Decode(std::span<const uint8_t> bytes) const = 0;

  std::vector<uint8_t> bytes_;
  Bitmap pixels_;
};

// A JPEG (JFIF) file.
class JpegGraphic : public EncodedGraphic {
 public:
  const char* ClassName() const override { return "TJPEGImage"; }
  std::unique_ptr<Graphic> Clone() const override { return std::make_unique<JpegGraphic>(*this); }
  void Draw(Canvas& canvas, const TRect& rect) const override;
  // Encodes the bitmap's pixels.
  void Assign(const Bitmap& bitmap, int quality = 90);

 protected:
  Bitmap Decode(std::span<const uint8_t> bytes) const override;
};

// An icon file, drawn from its largest image with its transparency.
class IconGraphic : public EncodedGraphic {
 public:
  IconGraphic() { transparent_ = true; }
  const char* ClassName() const override { return "TIcon"; }
  std::unique_ptr<Graphic> Clone() const override { return std::make_unique<IconGraphic>(*this); }
  void Draw(Canvas& canvas, const TRect& rect) const override;

 protected:
  Bitmap Decode(std::span<const uint8_t> bytes) const override;
};

// A Windows metafile. This platform cannot play its records: the bytes are kept (and saved
// unchanged), the size comes from the header (a placeable or enhanced metafile's bounds at 96
// pixels per inch; 0 x 0 for a plain one), and drawing shows a placeholder frame with a cross.
class MetafileGraphic : public Graphic {
 public:
  MetafileGraphic() { transparent_ = true; }
  const char* ClassName() const override { return "TMetafile"; }
  std::unique_ptr<Graphic> Clone() const override { return std::make_unique<MetafileGraphic>(*this); }
  bool Empty() const override { return bytes_.empty(); }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  void Draw(Canvas& canvas, const TRect& rect) const override;
  void LoadFromBytes(std::span<const uint8_t> bytes) override;
  std::vector<uint8_t> SaveToBytes() const override { return bytes_; }
  bool Enhanced() const { return enhanced_; }

 private:
  std::vector<uint8_t> bytes_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool enhanced_ = false;
};

}  // namespace pv::picture
