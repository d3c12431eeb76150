#include "props/BrushProp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "canvas/RecordingCanvas.h"
#include "picture/BmpCodec.h"
#include "props/LinkedFile.h"
#include "props/tests/DrawPropsSupport.h"

namespace pv::graphics {
namespace {

using namespace drawtest;

TEST(TBrushProp, WritesOnlyWhatDiffersFromTheDefaultsAndReadsItBack) {
  TPropList list;
  TBrushProp* brush = list.Create<TBrushProp>("Brush");
  EXPECT_EQ(brush->GetDisplayValue(), "(Brush)");
  EXPECT_EQ(Save(list), "property Brush\r\n  Color = 16777215\r\nend\r\n");
  brush->SetMethod(TBrushMethod::bmGradient);
  brush->SetColor(clNone);
  brush->SetStyle(BrushStyle::Cross);
  brush->SetGradStyle(TGradientStyle::gsElliptic);
  brush->SetGradBeginColor(255);
  brush->SetGradEndColor(65280);
  brush->SetBitmapDisplay(TBitmapDisplay::bdStretch);
  brush->SetBitmapCache(true);
  const std::string text = Save(list);
  EXPECT_EQ(text,
            "property Brush\r\n  Method = bmGradient\r\n  Style = bsCross\r\n  BitmapCache = True\r\n"
            "  BitmapDisplay = bdStretch\r\n  GradStyle = gsElliptic\r\n  GradBeginColor = 255\r\n"
            "  GradEndColor = 65280\r\nend\r\n");
  TPropList other;
  TBrushProp* copy = other.Create<TBrushProp>("Brush");
  copy->SetColor(clNone);
  Load(other, text);
  for (int i = 0; i < brush->PublishedCount(); ++i) {
    EXPECT_EQ(copy->GetPublished(i), brush->GetPublished(i)) << brush->PublishedInfo(i).name;
  }
}

TEST(TBrushProp, SettersFollowTheChangeProtocol) {
  TPropList list;
  ChangeLog log;
  list.SetEvents(&log);
  TBrushProp* brush = list.Create<TBrushProp>("Brush");
  brush->SetColor(clWhite);  // unchanged
  EXPECT_EQ(log.changed, 0);
  brush->SetColor(clRed);
  brush->SetBitmapMasked(true);
  EXPECT_EQ(log.before, 2);
  EXPECT_EQ(log.changed, 2);
  log.locked = true;
  brush->SetColor(clBlue);
  brush->CreateBitmap(4, 4);
  EXPECT_EQ(brush->GetColor(), clRed);
  EXPECT_EQ(brush->GetBitmap(), nullptr);
  EXPECT_EQ(log.changed, 2);
}

TEST(TBrushProp, ClearBrushesSelectAClearStyle) {
  struct Case {
    TBrushMethod method;
    TColor color;
    BrushStyle style;
    bool bitmap;
    bool clear;
    BrushStyle selected;
  };
  const Case cases[] = {
      {TBrushMethod::bmHatch, clNone, BrushStyle::Solid, false, true, BrushStyle::Clear},
      {TBrushMethod::bmHatch, clRed, BrushStyle::Clear, false, true, BrushStyle::Clear},
      {TBrushMethod::bmHatch, clRed, BrushStyle::Cross, false, false, BrushStyle::Cross},
      {TBrushMethod::bmGradient, clNone, BrushStyle::Solid, false, false, BrushStyle::Clear},
      {TBrushMethod::bmBitmap, clRed, BrushStyle::Solid, false, true, BrushStyle::Clear},
      {TBrushMethod::bmBitmap, clRed, BrushStyle::Solid, true, false, BrushStyle::Clear},
  };
  for (const Case& c : cases) {
    TBrushProp brush;
    brush.SetMethod(c.method);
    brush.SetColor(c.color);
    brush.SetStyle(c.style);
    if (c.bitmap) brush.CreateBitmap(2, 2);
    EXPECT_EQ(brush.IsClear(), c.clear);
    EXPECT_EQ(brush.IsPainted(), c.method != TBrushMethod::bmHatch);
    canvas::RecordingCanvas rec;
    brush.Setup(rec, 100);
    EXPECT_EQ(rec.GetBrush().style, c.selected);
    EXPECT_EQ(rec.GetBrush().color, c.color);
  }
}

TEST(TBrushProp, GradientsTurnAndMirrorWithTheirShape) {
  struct Case {
    TGradientStyle style;
    int angle;
    bool mirrored;
    TGradientStyle want;
    bool swapped;
  };
  using G = TGradientStyle;
  const Case cases[] = {
      {G::gsTopLeft, 90, false, G::gsBottomLeft, false},   {G::gsTopLeft, 0, true, G::gsTopRight, false},
      {G::gsTopLeft, 180, false, G::gsBottomRight, false}, {G::gsBottomRight, 270, true, G::gsTopLeft, false},
      {G::gsHorizontal, 90, false, G::gsVertical, true},   {G::gsHorizontal, 0, true, G::gsHorizontal, true},
      {G::gsHorizontal, 180, false, G::gsHorizontal, true}, {G::gsHorizontal, 270, false, G::gsVertical, false},
      {G::gsVertical, 90, false, G::gsHorizontal, false},  {G::gsVertical, 270, false, G::gsHorizontal, true},
      {G::gsVertical, 180, true, G::gsVertical, true},      {G::gsSquare, 90, true, G::gsSquare, false},
      {G::gsHorizontal, 45, false, G::gsHorizontal, false}, // a half quarter rounds to even: no turn
      {G::gsHorizontal, 135, false, G::gsHorizontal, true}, // one and a half rounds to two
      {G::gsTopLeft, 359, false, G::gsTopLeft, false},      // four quarters are none
      {G::gsTopLeft, -90, false, G::gsTopRight, false},     // normalised, not an index out of range
  };
  for (const Case& c : cases) {
    TBrushProp brush;
    brush.SetMethod(TBrushMethod::bmGradient);
    brush.SetGradStyle(c.style);
    brush.SetGradBeginColor(1);
    brush.SetGradEndColor(2);
    brush.Transform(c.angle, c.mirrored);
    EXPECT_EQ(brush.GetGradStyle(), c.want) << static_cast<int>(c.style) << " " << c.angle << " " << c.mirrored;
    EXPECT_EQ(brush.GetGradBeginColor(), c.swapped ? 2 : 1) << static_cast<int>(c.style) << " " << c.angle;
  }
  TBrushProp plain;
  plain.SetGradStyle(TGradientStyle::gsTopLeft);
  plain.Transform(90, false);  // not a gradient: unchanged
  EXPECT_EQ(plain.GetGradStyle(), TGradientStyle::gsTopLeft);
}

TEST(TBrushProp, BitmapsTravelAsBmpBytesAndKeepTheirMask) {
  TBrushProp brush;
  Bitmap b(3, 2, clRed);
  b.SetPixel(0, 1, clLime);
  brush.SetBitmapMaskColor(clLime);
  brush.SetBitmapMasked(true);
  brush.SetBitmap(&b);
  ASSERT_NE(brush.GetBitmap(), nullptr);
  EXPECT_TRUE(brush.GetBitmap()->transparent);
  EXPECT_EQ(brush.GetBitmap()->transparentColor, clLime);
  const PropValue bytes = brush.GetPropValue("Bitmap");
  ASSERT_EQ(bytes.GetKind(), PropValue::Kind::Bytes);
  EXPECT_EQ(picture::ReadBmp(bytes.AsBytes()).GetPixel(0, 1), 0x00FF00u);
  TBrushProp other;
  other.SetPropValue("Bitmap", bytes);
  ASSERT_NE(other.GetBitmap(), nullptr);
  EXPECT_EQ(other.GetBitmap()->GetPixel(2, 0), 0x0000FFu);
  other.SetPropValue("Bitmap", PropValue());
  EXPECT_EQ(other.GetBitmap(), nullptr);
  EXPECT_THROW(other.SetPropValue("Bitmap", PropValue::Bytes({'B', 'M', 1})), picture::PictureError);
  EXPECT_EQ(other.GetBitmap(), nullptr);
  // The mask follows the bitmap both ways.
  brush.SetBitmapMasked(false);
  EXPECT_FALSE(brush.GetBitmap()->transparent);
}

TEST(TBrushProp, PaintsGradientsAndCachedTiles) {
  WhiteImage img(40, 20);
  TBrushProp brush;
  brush.SetMethod(TBrushMethod::bmGradient);
  brush.SetGradBeginColor(clRed);
  brush.SetGradEndColor(clBlue);
  brush.PaintFill(*img.canvas, {0, 0, 40, 20}, {0, 0, 40, 20}, false, 100);
  EXPECT_EQ(img.At(0, 5), static_cast<uint32_t>(clRed));
  EXPECT_EQ(img.At(39, 5), static_cast<uint32_t>(clBlue));

  brush.SetMethod(TBrushMethod::bmBitmap);
  brush.SetBitmapCache(true);
  Bitmap tile(2, 2, clLime);
  brush.SetBitmap(&tile);
  brush.PaintFill(*img.canvas, {0, 0, 40, 20}, {0, 0, 40, 20}, false, 100);
  EXPECT_EQ(img.At(39, 19), static_cast<uint32_t>(clLime));
  EXPECT_NE(brush.TileCache().surface, nullptr);
  brush.SetBitmap(&tile);  // a new bitmap drops the cache
  EXPECT_EQ(brush.TileCache().surface, nullptr);
}

TEST(TBrushProp, LinkedBitmapsComeFromTheProgramsFolderWithoutChangingDirectory) {
  const std::string name = "pv_brush_link_test.bmp";
  const std::filesystem::path file = WriteBesideProgram(name, picture::WriteBmp(Bitmap(5, 4, clNavy)));
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  TPropList list;
  TBrushProp* brush = list.Create<TBrushProp>("Brush");
  brush->SetBitmapLinkName(name);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::temp_directory_path());
  ASSERT_NE(brush->GetBitmap(), nullptr);
  EXPECT_EQ(brush->GetBitmap()->Width(), 5);
  // Linked: the name is written, the bitmap is not.
  const std::string text = Save(list);
  EXPECT_NE(text.find("BitmapLinkName = pv_brush_link_test.bmp"), std::string::npos) << text;
  EXPECT_EQ(text.find("Bitmap = {"), std::string::npos) << text;
  brush->SetBitmapLinkName("pv_no_such_file.bmp");
  EXPECT_EQ(brush->GetBitmap(), nullptr);
  std::filesystem::current_path(cwd);
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace pv::graphics
