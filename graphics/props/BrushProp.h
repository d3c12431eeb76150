#pragma once
// The fill of a control: a plain or hatched platform brush, a gradient, or a bitmap shown
// centred, tiled or stretched (with a tile cache that can be kept between paints).

#include <memory>

#include "canvas/Bitmap.h"
#include "paint/BitmapDisplay.h"
#include "paint/Gradient.h"
#include "props/DrawingEnums.h"
#include "props/Prop.h"

namespace pv::graphics {

class TBrushProp : public TCustomProp {
 public:
  TBrushProp() { SetKind(TPropKind::SubProperties); }
  const char* ClassName() const override { return "TBrushProp"; }
  std::string GetDisplayValue() const override { return "(Brush)"; }

  TBrushMethod GetMethod() const { return method_; }
  void SetMethod(TBrushMethod method) { ChangeValue(method_, method); }
  TColor GetColor() const { return brush_.color; }
  void SetColor(TColor color) { ChangeValue(brush_.color, color); }
  BrushStyle GetStyle() const { return brush_.style; }
  void SetStyle(BrushStyle style) { ChangeValue(brush_.style, style); }
  TBitmapDisplay GetBitmapDisplay() const { return display_; }
  void SetBitmapDisplay(TBitmapDisplay display) { ChangeValue(display_, display); }
  TGradientStyle GetGradStyle() const { return gradStyle_; }
  void SetGradStyle(TGradientStyle style) { ChangeValue(gradStyle_, style); }
  TColor GetGradBeginColor() const { return gradBegin_; }
  void SetGradBeginColor(TColor color) { ChangeValue(gradBegin_, color); }
  TColor GetGradEndColor() const { return gradEnd_; }
  void SetGradEndColor(TColor color) { ChangeValue(gradEnd_, color); }

  // The bitmap (none when there is none); a copy of the given one is kept.
  const Bitmap* GetBitmap() const { return bitmap_.get(); }
  void SetBitmap(const Bitmap* bitmap);
  void CreateBitmap(int32_t width, int32_t height);
  void ClearBitmap();
  bool GetBitmapMasked() const { return masked_; }
  void SetBitmapMasked(bool masked);
  TColor GetBitmapMaskColor() const { return maskColor_; }
  void SetBitmapMaskColor(TColor color);
  bool GetBitmapCache() const { return cacheOn_; }
  void SetBitmapCache(bool on);
  const std::string& GetBitmapLinkName() const;
  void SetBitmapLinkName(const std::string& name);
  // True when the linked file was found and read.
  bool LoadLinkedBitmap();
  const TTileCache& TileCache() const;

  bool IsPainted() const { return method_ != TBrushMethod::bmHatch; }
  bool IsClear() const;
  void Setup(canvas::Canvas& canvas, int32_t scale) override;
  void PaintFill(canvas::Canvas& canvas, const TRect& rect, const TRect& clipRect, bool masked, int32_t scalePercent);
  // Keeps a gradient in step with a shape turned by angle degrees (0 .. 359) or mirrored.
  virtual void Transform(int32_t angle, bool mirrored);

  int PublishedCount() const override;
  TPublishedInfo PublishedInfo(int index) const override;
  PropValue GetPublished(int index) const override;
  void SetPublished(int index, const PropValue& value) override;
  bool PublishedStored(int index) const override;

 private:
  // What the bitmap's change handler does: its transparency back into the fields, the tile
  // cache dropped, the change announced.
  void BitmapChanged();
  void ApplyMask();
  template <class T>
  void SetMaskField(T& field, T value, T Bitmap::*bitmapField);
  // What only a linked or cached bitmap needs, made on first use: most brushes never hold one.
  struct TExtra {
    std::string linkName;
    TTileCache tileCache;
  };
  TExtra& Extra();
  void DropTileCache();

  // Laid out without holes (the flags first, in the room the base class leaves): most
  // controls have a brush.
  bool masked_ = false;
  bool cacheOn_ = false;
  Brush brush_;
  TBrushMethod method_ = TBrushMethod::bmHatch;
  TColor maskColor_ = 0;
  std::unique_ptr<Bitmap> bitmap_;
  std::unique_ptr<TExtra> extra_;
  TBitmapDisplay display_ = TBitmapDisplay::bdTile;
  TGradientStyle gradStyle_ = TGradientStyle::gsHorizontal;
  TColor gradBegin_ = 0;
  TColor gradEnd_ = 0;
};

}  // namespace pv::graphics
