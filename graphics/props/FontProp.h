#pragma once
// The text font of a control: a platform font with its height in document units.

#include <functional>

#include "canvas/CanvasTypes.h"
#include "props/DrawingEnums.h"
#include "props/Prop.h"

namespace pv::graphics {

class TFontProp : public TCustomProp {
 public:
  static constexpr int32_t kPixelsPerInch = 96;
  // The font dialog the windowing layer offers: edits the font, true when confirmed.
  static std::function<bool(canvas::Font&)>& FontDialog();

  TFontProp();
  const char* ClassName() const override { return "TFontProp"; }
  std::string GetDisplayValue() const override { return "(Font)"; }

  const canvas::Font& GetFont() const { return font_; }
  // Copies a platform font; the height follows its point size.
  void SetFont(const canvas::Font& font);
  int32_t GetHeight() const { return height_; }
  void SetHeight(int32_t height);
  // Thousandths of a point.
  int32_t GetSize() const;
  void SetSize(int32_t size);
  TColor GetColor() const { return font_.color; }
  void SetColor(TColor color) { ChangeValue(font_.color, color); }
  const std::string& GetName() const { return font_.name; }
  void SetName(const std::string& name) { ChangeValue(font_.name, name); }
  uint8_t GetCharset() const { return font_.charset; }
  void SetCharset(uint8_t charset) { ChangeValue(font_.charset, charset); }
  FontPitch GetPitch() const { return font_.pitch; }
  void SetPitch(FontPitch pitch) { ChangeValue(font_.pitch, pitch); }
  TFontStyles GetStyle() const;
  void SetStyle(const TFontStyles& styles);

  void Setup(canvas::Canvas& canvas, int32_t scale) override;
  bool Edit() override;

  int PublishedCount() const override { return 8; }
  TPublishedInfo PublishedInfo(int index) const override;
  PropValue GetPublished(int index) const override;
  void SetPublished(int index, const PropValue& value) override;
  bool PublishedStored(int index) const override;

 private:
  canvas::Font font_;
  int32_t height_;
};

}  // namespace pv::graphics
