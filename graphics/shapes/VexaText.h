#pragma once
// A text in a box: plain drawing with alignment, vertical layout, word wrap, a grayed look and
// rotation, or precise layout with the font's design-unit widths, so that line breaks and
// proportions are the same at every zoom. With AutoSize the box follows the text.
//
// A text is a box: its Brush, Pen and Roundness come first, so the stored form is a box's
// followed by the text's own properties, and it paints, hits, links and turns as a box does
// (hit all over, though its brush is clear).

#include <cstdint>
#include <memory>
#include <string>

#include "props/BrushProp.h"
#include "props/FontProp.h"
#include "props/PenProps.h"
#include "shapes/VexaBox.h"
#include "text/TextFormator.h"

namespace pv::graphics {

// The items of a text's Layout, in their order.
enum class TTextLayout : int32_t { Top = 0, Center = 1, Bottom = 2 };

class TVexaText : public TVexaBox {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  bool GetAutoSize() const { return autoSize_->GetValue(); }
  void SetAutoSize(bool on) { autoSize_->SetValue(on); }
  TStrListProp& Text() const { return *text_; }
  TFontProp& Font() const { return *font_; }
  bool GetWordWrap() const { return wordWrap_->GetValue(); }
  void SetWordWrap(bool on) { wordWrap_->SetValue(on); }
  bool GetGrayed() const { return grayed_->GetValue(); }
  void SetGrayed(bool on) { grayed_->SetValue(on); }
  int32_t GetAngle() const { return angle_->GetValue(); }
  void SetAngle(int32_t degrees) { angle_->SetValue(degrees); }
  int GetAlignment() const { return alignment_->GetEnumIndex(); }
  void SetAlignment(int index) { alignment_->SetEnumIndex(static_cast<uint8_t>(index)); }
  int GetLayout() const { return layout_->GetEnumIndex(); }
  void SetLayout(int index) { layout_->SetEnumIndex(static_cast<uint8_t>(index)); }
  bool GetPrecise() const { return precise_->GetValue(); }
  void SetPrecise(bool on) { precise_->SetValue(on); }
  bool GetPreciseJustify() const { return preciseJustify_->GetValue(); }
  void SetPreciseJustify(bool on) { preciseJustify_->SetValue(on); }

  // Lays the text out in rect (pixels) with the current properties, or with measure gives its
  // size: rect's right and bottom become the text's extent in document units at the font's
  // scale (the panel's Scale when scaled, else 100 %).
  virtual void TextRect(canvas::Canvas& canvas, TRect& rect, bool scaled, bool measure);
  // The text's size for AutoSize, document units at 100 % (zero when nothing can be measured).
  TSize TextSize();

  void Rotate(const TRotateRec& rec) override;
  TVexaControl* CreateCurveControl() override { return nullptr; }
  void Paint(canvas::Canvas& canvas, const TRect& rect) override;
  TRect GetRefreshRect(int32_t x, int32_t y) const override;
  int GetCreateCursor() const override { return 10; }
  // The pen's width in document units that the box's frame takes (0 without a pen).
  int32_t FrameWidth() const { return Pen().GetActualWidth(); }
  // The box's width inside its frame, document units.
  int32_t InnerWidth() const;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void ControlDestroy() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  struct TLayoutArgs {
    int32_t width = 0;  // the precise wrapping width in design units; 0 takes the box's
    bool preciseJustify = false;
    bool precise = false;
    bool wordWrap = false;
    TTextLayout layout = TTextLayout::Top;
    TTextAlignment alignment = TTextAlignment::LeftJustify;
    bool scaled = false;
    bool measure = false;
  };
  TLayoutArgs CurrentLayout(bool scaled, bool measure) const;
  int32_t PaintScale() const;
  // The text as the document holds it (code page 1251), lines joined by CR LF.
  std::string ModelText() const { return text_->GetText(); }

  // TextDrawing.cpp
  void DrawTextEx(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text);
  void DrawRotated(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text);
  void DrawPlain(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text);
  void DrawPrecise(canvas::Canvas& canvas, TRect& rect, const TLayoutArgs& args, const std::string& text);
  // Clips the canvas to the box's inner area; false when that is empty (nothing to draw).
  bool ClipText(canvas::Canvas& canvas, const TRect& rect, std::optional<canvas::Region>& saved) const;

  // AutoSize.
  void ApplyAutoSize();
  void FollowText();
  void SetSizeReadOnly(bool width, bool height);
  TRect MeasuredRefreshRect() const;

  TBoolProp* autoSize_ = nullptr;
  TStrListProp* text_ = nullptr;
  TFontProp* font_ = nullptr;
  TBoolProp* wordWrap_ = nullptr;
  TBoolProp* grayed_ = nullptr;
  TIntProp* angle_ = nullptr;
  TEnumProp* alignment_ = nullptr;
  TEnumProp* layout_ = nullptr;
  TBoolProp* precise_ = nullptr;
  TBoolProp* preciseJustify_ = nullptr;

  // The plain text's extent for the refresh rectangle, document units relative to the control,
  // and the Scale it was measured at (0: to be measured again).
  mutable TRect refreshCache_{};
  mutable int32_t refreshScale_ = 0;
  bool sizing_ = false;
  std::unique_ptr<TTextFormator> formator_;
};

}  // namespace pv::graphics
