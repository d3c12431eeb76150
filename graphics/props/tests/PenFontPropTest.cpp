#include <gtest/gtest.h>

#include "canvas/RecordingCanvas.h"
#include "props/FontProp.h"
#include "props/PenProps.h"
#include "props/tests/DrawPropsSupport.h"

namespace pv::graphics {
namespace {

using namespace drawtest;

TEST(TPenProp, SetupGivesTheCanvasPenTheScaledWidthAndStyle) {
  struct Case {
    PenStyle style;
    int32_t width;
    TColor color;
    int32_t scale;
    PenStyle wantStyle;
    int32_t wantWidth;
    int32_t actual;
  };
  const Case cases[] = {
      {PenStyle::Dash, 5000, clBlack, 100, PenStyle::Dash, 0, 1000},         // one-pixel dashes
      {PenStyle::Solid, 1000, clBlack, 50, PenStyle::Solid, 1, 1000},        // still one pixel
      {PenStyle::Solid, 3000, clBlack, 100, PenStyle::InsideFrame, 3, 3000}, // wide: inside the frame
      {PenStyle::Solid, 3000, clNone, 100, PenStyle::Clear, 3, 0},           // no colour: nothing
      {PenStyle::Clear, 3000, clBlack, 100, PenStyle::Clear, 0, 0},
      {PenStyle::Solid, 2000, clRed, 200, PenStyle::InsideFrame, 4, 2000},
  };
  for (const Case& c : cases) {
    TPenProp pen;
    pen.SetStyle(c.style);
    pen.SetWidth(c.width);
    pen.SetColor(c.color);
    canvas::RecordingCanvas rec;
    pen.Setup(rec, c.scale);
    EXPECT_EQ(rec.GetPen().style, c.wantStyle) << static_cast<int>(c.style) << " " << c.width;
    EXPECT_EQ(rec.GetPen().width, c.wantWidth) << static_cast<int>(c.style) << " " << c.width;
    EXPECT_EQ(pen.GetActualWidth(), c.actual);
  }
}

TEST(TPenProp, TextFormWithModesByName) {
  TPropList list;
  TPenProp* pen = list.Create<TPenProp>("Pen");
  EXPECT_EQ(Save(list), "");  // nothing differs from the defaults
  pen->SetMode(PenMode::Xor);
  pen->SetStyle(PenStyle::DashDot);
  pen->SetWidth(2500);
  pen->SetColor(255);
  const std::string text = Save(list);
  EXPECT_EQ(text, "property Pen\r\n  Color = 255\r\n  Style = psDashDot\r\n  Mode = pmXor\r\n  Width = 2500\r\nend\r\n");
  TPropList other;
  TPenProp* copy = other.Create<TPenProp>("Pen");
  Load(other, text);
  EXPECT_EQ(copy->GetMode(), PenMode::Xor);
  EXPECT_EQ(copy->GetStyle(), PenStyle::DashDot);
  EXPECT_EQ(copy->GetWidth(), 2500);
  EXPECT_THROW(copy->SetPropValue("Mode", PropValue::String("pmNoSuch")), EConvertError);
}

TEST(TLineCapProp, ActualSizeAndStoredRules) {
  TLineCapProp cap;
  EXPECT_EQ(cap.GetActualSize(1000, 1000), 8000);  // 6000 + 2 x pen width
  EXPECT_EQ(cap.GetActualSize(3000, 1000), 12000);
  // Pens at the ends of the 32-bit range: the size stops at the range.
  EXPECT_EQ(cap.GetActualSize(INT32_MAX, 1000), INT32_MAX);
  EXPECT_EQ(cap.GetActualSize(INT32_MAX - 4000, 1000), INT32_MAX);
  EXPECT_EQ(cap.GetActualSize(INT32_MIN, 1000), INT32_MIN);
  cap.SetFixedSize(true);
  cap.SetSize(5000);
  EXPECT_EQ(cap.GetActualSize(3000, 1000), 5000);
  EXPECT_EQ(cap.GetActualSize(3000, 500), 2500);
  TPropList list;
  TLineCapProp* stored = list.Create<TLineCapProp>("Cap");
  EXPECT_EQ(Save(list), "");
  stored->SetCapStyle(3);
  stored->SetFillColor(0);
  stored->SetFixedOutlineColor(true);
  EXPECT_EQ(Save(list), "property Cap\r\n  CapStyle = 3\r\n  FixedOutlineColor = True\r\n  FillColor = 0\r\nend\r\n");
  EXPECT_EQ(stored->GetDisplayValue(), "(LineCap)");
}

TEST(TFontProp, SizeAndHeightConvertAtNinetySixPixelsPerInch) {
  TFontProp font;
  font.SetSize(10000);
  EXPECT_EQ(font.GetHeight(), -13333);
  EXPECT_EQ(font.GetFont().height, -13);
  EXPECT_EQ(font.GetSize(), 10000);  // -MulDiv(-13333, 72, 96), rounded
  canvas::RecordingCanvas rec;
  font.Setup(rec, 200);
  EXPECT_EQ(rec.GetFont().height, -27);
  canvas::Font platform;
  platform.height = -16;  // 12 points
  platform.name = "Courier New";
  font.SetFont(platform);
  EXPECT_EQ(font.GetHeight(), -16000);
  EXPECT_EQ(font.GetName(), "Courier New");
}

// Any size set reads back from its text as the same size, the largest ones held where the
// height still holds them; sizes the height holds are kept exactly.
TEST(TFontProp, EverySizeReadsBackAsSaved) {
  const struct {
    int32_t size, saved;
  } cases[] = {{10000, 10000},
               {-9000, -9000},
               {0, 0},
               {1610612735, 1610612735},
               {-1610612735, -1610612735},
               {1610612736, 1610612735},
               {2147483647, 1610612735},
               {-2147483647 - 1, -1610612735}};
  for (const auto& row : cases) {
    TPropList list;
    list.Create<TFontProp>("Font")->SetSize(row.size);
    const std::string text = Save(list);
    EXPECT_NE(text.find("Size = " + std::to_string(row.saved) + "\r\n"), std::string::npos) << row.size << "\n" << text;
    TPropList other;
    TFontProp* copy = other.Create<TFontProp>("Font");
    Load(other, text);
    EXPECT_EQ(row.saved, copy->GetSize()) << row.size;
    EXPECT_EQ(text, Save(other)) << row.size;
  }
  // A height set past what a size can name saves the largest size, which reads back as itself.
  TFontProp font;
  font.SetHeight(-2147483647 - 1);
  EXPECT_EQ(1610612735, font.GetSize());
  canvas::Font platform;
  platform.height = -2147483647 - 1;
  font.SetFont(platform);
  EXPECT_EQ(1610612735, font.GetSize());
}

TEST(TFontProp, TextFormStylesAsASetAndPitchByName) {
  TPropList list;
  TFontProp* font = list.Create<TFontProp>("Font");
  EXPECT_EQ(Save(list), "property Font\r\n  Name = Arial\r\n  Size = 8250\r\nend\r\n");
  font->SetStyle({true, false, true, false});
  font->SetPitch(FontPitch::Fixed);
  font->SetCharset(204);
  font->SetColor(255);
  const std::string text = Save(list);
  EXPECT_EQ(text,
            "property Font\r\n  Charset = 204\r\n  Color = 255\r\n  Name = Arial\r\n  Pitch = fpFixed\r\n"
            "  Size = 8250\r\n  Style = [fsBold,fsUnderline]\r\nend\r\n");
  TPropList other;
  TFontProp* copy = other.Create<TFontProp>("Font");
  Load(other, text);
  EXPECT_EQ(copy->GetStyle(), (TFontStyles{true, false, true, false}));
  EXPECT_EQ(copy->GetPitch(), FontPitch::Fixed);
  EXPECT_EQ(copy->GetCharset(), 204);
  EXPECT_EQ(copy->GetPropValue("PixelsPerInch"), PropValue::Integer(96));
  EXPECT_THROW(copy->SetPropValue("Style", PropValue::String("[fsWide]")), EConvertError);
}

TEST(TFontProp, EditsThroughTheRegisteredDialog) {
  TFontProp font;
  EXPECT_FALSE(font.Edit());
  TFontProp::FontDialog() = [](canvas::Font& f) {
    f.name = "Times New Roman";
    return true;
  };
  EXPECT_TRUE(font.Edit());
  EXPECT_EQ(font.GetName(), "Times New Roman");
  TFontProp::FontDialog() = [](canvas::Font&) { return false; };
  EXPECT_FALSE(font.Edit());
  TFontProp::FontDialog() = nullptr;
}

}  // namespace
}  // namespace pv::graphics
