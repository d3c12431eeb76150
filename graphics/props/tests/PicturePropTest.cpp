#include "props/PictureProp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "picture/BmpCodec.h"
#include "picture/Graphics.h"
#include "props/LinkedFile.h"
#include "props/tests/DrawPropsSupport.h"

namespace pv::graphics {
namespace {

using namespace drawtest;

// Two frames side by side: red on the left, blue on the right, 4 x 2 pixels each.
picture::BitmapGraphic TwoFrames() {
  Bitmap b(8, 2, clRed);
  for (int y = 0; y < 2; ++y) {
    for (int x = 4; x < 8; ++x) b.SetPixel(x, y, clBlue);
  }
  return picture::BitmapGraphic(std::move(b));
}

picture::MetafileGraphic Metafile() {
  picture::MetafileGraphic m;
  m.LoadFromBytes(std::vector<uint8_t>{1, 0, 9, 0, 0, 3});
  return m;
}

struct Registered {
  Registered() { picture::RegisterStandardGraphics(); }
};

class TPicturePropTest : public ::testing::Test {
  Registered registered_;
};

TEST_F(TPicturePropTest, TakesItsFieldsFromTheGraphicAndCutsBitmapsIntoFrames) {
  TPictureProp prop;
  const picture::BitmapGraphic frames = TwoFrames();
  prop.SetGraphic(&frames);
  EXPECT_EQ(prop.GraphicClass(), "TBitmap");
  EXPECT_EQ(prop.GraphicWidth(), 8);
  EXPECT_FALSE(prop.IsEmpty());
  prop.SetColumns(2);
  prop.SetRows(0);  // refused
  EXPECT_EQ(prop.GetRows(), 1);
  EXPECT_EQ(prop.GetFrameSize(), (TSize{4, 2}));
  EXPECT_EQ(prop.GetFrameRect(1), (TRect{4, 0, 8, 2}));
  EXPECT_EQ(prop.GetFrameRect(2), (TRect{0, 0, 8, 2}));  // past the grid: the whole picture
  const auto frame = prop.CreateFrameBitmap(frames.GetBitmap(), 1);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetPixel(0, 0), 0xFF0000u);

  // A metafile has no frames; loading a bitmap afterwards keeps one column.
  const picture::MetafileGraphic metafile = Metafile();
  prop.SetGraphic(&metafile);
  EXPECT_EQ(prop.GetColumns(), 1);
  prop.SetColumns(3);
  EXPECT_EQ(prop.GetColumns(), 1);
  prop.SetGraphic(&frames);
  EXPECT_EQ(prop.GetColumns(), 1);
  prop.SetGraphic(nullptr);
  EXPECT_TRUE(prop.IsEmpty());
  EXPECT_EQ(prop.GraphicClass(), "");
  EXPECT_EQ(prop.GetFrameSize(), (TSize{0, 0}));
}

TEST_F(TPicturePropTest, TheGraphicTravelsInTheStreamFormThroughTheTextFormat) {
  TPropList list;
  TPictureProp* prop = list.Create<TPictureProp>("Picture");
  EXPECT_EQ(Save(list), "");
  const picture::BitmapGraphic frames = TwoFrames();
  prop->SetGraphic(&frames);
  prop->SetColumns(2);
  const PropValue value = prop->GetPropValue("Graphic");
  ASSERT_EQ(value.GetKind(), PropValue::Kind::Bytes);
  EXPECT_EQ(value.AsBytes()[0], 7);  // "TBitmap", then the BMP file
  EXPECT_EQ(value.AsBytes()[8], 'B');
  const std::string text = Save(list);
  TPropList other;
  TPictureProp* copy = other.Create<TPictureProp>("Picture");
  Load(other, text);
  EXPECT_EQ(copy->GraphicClass(), "TBitmap");
  EXPECT_EQ(copy->GetColumns(), 2);
  EXPECT_EQ(copy->GetPropValue("Graphic"), value);
  EXPECT_THROW(copy->SetPropValue("Graphic", PropValue::Bytes({5, 'T', 'N', 'o', 'n', 'e'})), picture::PictureError);
  EXPECT_EQ(copy->GraphicClass(), "TBitmap");
  copy->SetPropValue("Graphic", PropValue());
  EXPECT_TRUE(copy->IsEmpty());
}

TEST_F(TPicturePropTest, ABufferedPictureKeepsOnlyItsStreamAndRefusesChanges) {
  TPictureProp prop;
  const picture::BitmapGraphic frames = TwoFrames();
  prop.SetGraphic(&frames);
  prop.SetMasked(true);
  prop.SetMaskColor(clBlue);
  const PropValue before = prop.GetPropValue("Graphic");
  prop.SetBuffered(true);
  EXPECT_EQ(prop.GetGraphic(), nullptr);
  EXPECT_EQ(prop.GetPropValue("Graphic"), before);
  try {
    prop.SetGraphic(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EPictureProp& e) {
    EXPECT_STREQ(e.what(), "Can't change buffered picture");
  }
  EXPECT_THROW(prop.SetLinkName("x.bmp"), EPictureProp);
  prop.SetFastBuffer(true);  // refused while buffered
  EXPECT_FALSE(prop.GetFastBuffer());
  // Drawn from a picture read back for the paint: the blue half is the mask colour.
  WhiteImage img(8, 2);
  prop.Draw(*img.canvas, {0, 0, 8, 2}, nullptr, true, -1);
  EXPECT_EQ(img.At(0, 0), static_cast<uint32_t>(clRed));
  EXPECT_EQ(img.At(6, 0), 0xFFFFFFu);
  // A new graphic through the value: unbuffered for it, buffered again.
  const picture::MetafileGraphic metafile = Metafile();
  picture::Picture stream;
  stream.SetGraphic(&metafile);
  prop.SetPropValue("Graphic", PropValue::Bytes(stream.SaveToStream()));
  EXPECT_TRUE(prop.GetBuffered());
  EXPECT_EQ(prop.GraphicClass(), "TMetafile");
  prop.SetBuffered(false);
  ASSERT_NE(prop.GetGraphic(), nullptr);
  EXPECT_STREQ(prop.GetGraphic()->ClassName(), "TMetafile");
}

TEST_F(TPicturePropTest, DrawsTheFrameItIsAskedFor) {
  TPictureProp prop;
  const picture::BitmapGraphic frames = TwoFrames();
  prop.SetGraphic(&frames);
  prop.SetColumns(2);
  WhiteImage img(10, 4);
  prop.Draw(*img.canvas, {1, 1, 9, 3}, nullptr, false, 1);  // the blue frame stretched
  EXPECT_EQ(img.At(1, 1), static_cast<uint32_t>(clBlue));
  EXPECT_EQ(img.At(8, 2), static_cast<uint32_t>(clBlue));
  EXPECT_EQ(img.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(img.canvas->GetClipRgn(), std::nullopt);
}

TEST_F(TPicturePropTest, AFastBufferPaintsIntoTheTargetBufferAndCanBeTakenOver) {
  WhiteImage img(10, 4);
  TPictureProp prop;
  const picture::BitmapGraphic frames = TwoFrames();
  prop.SetGraphic(&frames);
  prop.SetFastBuffer(true);
  ASSERT_NE(prop.FastBufferObject(), nullptr);
  EXPECT_TRUE(prop.FastBufferObject()->HoldsContent());
  prop.SetColumns(2);
  TAlphaBuffer target;
  ASSERT_TRUE(target.BeginDraw(img.canvas.get(), {0, 0, 10, 4}));
  prop.Draw(*target.GetCanvas(), {0, 0, 4, 2}, &target, false, 0);
  prop.Draw(*target.GetCanvas(), {4, 0, 8, 2}, &target, false, 1);
  target.EndDraw(0);
  EXPECT_EQ(img.At(0, 0), static_cast<uint32_t>(clRed));
  EXPECT_EQ(img.At(7, 1), static_cast<uint32_t>(clBlue));
  EXPECT_EQ(img.At(9, 3), 0xFFFFFFu);

  int calls = 0;
  prop.OnPaint = [&calls](TPictureProp&, TAlphaBuffer&, bool& canPaint, const picture::Graphic&, canvas::Canvas& c) {
    ++calls;
    c.SetBrush(Brush{BrushStyle::Solid, clLime, nullptr});
    c.FillRect({0, 0, 8, 2});
    canPaint = false;
  };
  prop.DrawToBuffer();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(prop.FastBufferObject()->Pixels().Row(0)[7], 0xFF00FF00u);
  prop.SetFastBuffer(false);
  EXPECT_EQ(prop.FastBufferObject(), nullptr);
}

TEST_F(TPicturePropTest, LinkedPicturesComeFromTheProgramsFolderAndAreNotStored) {
  const std::string name = "pv_picture_link_test.bmp";
  const std::filesystem::path file = WriteBesideProgram(name, picture::WriteBmp(Bitmap(6, 3, clNavy)));
  TPropList list;
  TPictureProp* prop = list.Create<TPictureProp>("Picture");
  prop->SetLinkName(name);
  EXPECT_EQ(prop->GraphicWidth(), 6);
  EXPECT_TRUE(prop->GetPropValue("Graphic").IsEmpty());
  // The bitmap's automatic transparent colour (its bottom-left pixel, navy) and the name.
  EXPECT_EQ(Save(list), "property Picture\r\n  MaskColor = 8388608\r\n  LinkName = pv_picture_link_test.bmp\r\nend\r\n");
  prop->SetPropValue("Graphic", PropValue());  // ignored while linked
  EXPECT_EQ(prop->GraphicWidth(), 6);
  prop->SetLinkName("pv_no_such_picture.bmp");
  EXPECT_TRUE(prop->IsEmpty());
  prop->SetLinkName("");
  EXPECT_TRUE(prop->IsEmpty());
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace pv::graphics
