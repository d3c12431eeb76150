#pragma once
// The outline of a control (a platform pen with its width in document units) and the caps at
// the ends of its lines.

#include "canvas/CanvasTypes.h"
#include "props/DrawingEnums.h"
#include "props/Prop.h"

namespace pv::graphics {

class TPenProp : public TCustomProp {
 public:
  TPenProp() { SetKind(TPropKind::SubProperties); }
  const char* ClassName() const override { return "TPenProp"; }
  std::string GetDisplayValue() const override { return "(Pen)"; }

  TColor GetColor() const { return pen_.color; }
  void SetColor(TColor color) { ChangeValue(pen_.color, color); }
  PenStyle GetStyle() const { return pen_.style; }
  void SetStyle(PenStyle style) { ChangeValue(pen_.style, style); }
  PenMode GetMode() const { return pen_.mode; }
  void SetMode(PenMode mode) { ChangeValue(pen_.mode, mode); }
  int32_t GetWidth() const { return width_; }
  void SetWidth(int32_t width) { ChangeValue(width_, width); }

  // 0 for an invisible pen, one pixel (1000) for a patterned one, else the width.
  int32_t GetActualWidth() const;
  void Setup(canvas::Canvas& canvas, int32_t scale) override;

  int PublishedCount() const override { return 4; }
  TPublishedInfo PublishedInfo(int index) const override;
  PropValue GetPublished(int index) const override;
  void SetPublished(int index, const PropValue& value) override;
  bool PublishedStored(int index) const override;

 private:
  Pen pen_{PenStyle::Solid, 1, clBlack, PenMode::Copy};
  int32_t width_ = 1000;
};

class TLineCapProp : public TCustomProp {
 public:
  TLineCapProp() { SetKind(TPropKind::SubProperties); }
  const char* ClassName() const override { return "TLineCapProp"; }
  std::string GetDisplayValue() const override { return "(LineCap)"; }

  int32_t GetCapStyle() const { return capStyle_; }
  void SetCapStyle(int32_t style) { ChangeValue(capStyle_, style); }
  bool GetFixedSize() const { return fixedSize_; }
  void SetFixedSize(bool on) { ChangeValue(fixedSize_, on); }
  int32_t GetSize() const { return size_; }
  void SetSize(int32_t size) { ChangeValue(size_, size); }
  bool GetFixedOutlineColor() const { return fixedOutline_; }
  void SetFixedOutlineColor(bool on) { ChangeValue(fixedOutline_, on); }
  TColor GetOutlineColor() const { return outlineColor_; }
  void SetOutlineColor(TColor color) { ChangeValue(outlineColor_, color); }
  bool GetFixedFillColor() const { return fixedFill_; }
  void SetFixedFillColor(bool on) { ChangeValue(fixedFill_, on); }
  TColor GetFillColor() const { return fillColor_; }
  void SetFillColor(TColor color) { ChangeValue(fillColor_, color); }

  // The cap's size for a pen of that width, in units of which unit make a pixel.
  int32_t GetActualSize(int32_t penWidth, int32_t unit) const;

  int PublishedCount() const override { return 7; }
  TPublishedInfo PublishedInfo(int index) const override;
  PropValue GetPublished(int index) const override;
  void SetPublished(int index, const PropValue& value) override;
  bool PublishedStored(int index) const override;

 private:
  // The flags first, together: they fill the room the base class leaves, and every curve
  // has two caps.
  bool fixedSize_ = false;
  bool fixedOutline_ = false;
  bool fixedFill_ = false;
  int32_t capStyle_ = 0;
  int32_t size_ = 8000;
  TColor outlineColor_ = 0;
  TColor fillColor_ = clWhite;
};

}  // namespace pv::graphics
