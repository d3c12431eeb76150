// The picture control on the recording canvas: what it draws with and without a picture, its
// size, link points, hit test and stored form.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"
#include "document/testing/TestVexaPanel.h"
#include "picture/Graphics.h"
#include "picture/Picture.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaPicture.h"

namespace pv::graphics {
namespace {

using canvas::CanvasOp;
using canvas::RecordingCanvas;
using test::TTestVexaPanel;

// Two frames side by side: red on the left, blue on the right, 4 x 2 pixels each.
picture::BitmapGraphic TwoFrames() {
  canvas::Bitmap b(8, 2, canvas::clRed);
  for (int y = 0; y < 2; ++y) {
    for (int x = 4; x < 8; ++x) b.SetPixel(x, y, canvas::clBlue);
  }
  return picture::BitmapGraphic(std::move(b));
}

struct PictureFixture : ::testing::Test {
  PictureFixture() {
    picture::RegisterStandardGraphics();
    RegisterShapeClasses();
    panel.NewDocument();
    pic = New(panel);
    pic->SetName("pic");
    pic->SetDocRect({10000, 20000, 50000, 40000});
  }
  static TVexaPicture* New(TTestVexaPanel& p) {
    return TVexaControl::New<TVexaPicture>(&p, p.GetActiveScheme(), p.GetActiveLayer());
  }
  void PaintAll(RecordingCanvas& canvas) {
    canvas.Clear();
    pic->PaintAll(canvas, pic->GetLeft(), pic->GetTop());
  }
  TTestVexaPanel panel;
  TVexaPicture* pic = nullptr;
};

TEST_F(PictureFixture, WithoutAPictureOnlyTheEditorSeesACrossedFrame) {
  EXPECT_EQ(pic->GetCreateCursor(), 11);
  RecordingCanvas canvas;
  PaintAll(canvas);
  EXPECT_TRUE(canvas.Commands().empty());  // invisible in a viewer and in output
  EXPECT_FALSE(pic->IsPointInside(20, 30));

  panel.showEditingAids = true;
  PaintAll(canvas);
  std::vector<std::string> shapes;
  for (const auto& c : canvas.Commands()) {
    if (c.op == CanvasOp::Rectangle || c.op == CanvasOp::MoveTo || c.op == CanvasOp::LineTo) shapes.push_back(c.ToString());
  }
  EXPECT_EQ(shapes, (std::vector<std::string>{"Rectangle 10,20,50,40", "MoveTo 10,20", "LineTo 49,39", "MoveTo 49,20",
                                              "LineTo 10,39"}));
  EXPECT_EQ(canvas.GetBrush().style, canvas::BrushStyle::Clear);
  EXPECT_TRUE(pic->IsPointInside(20, 30));
  EXPECT_FALSE(pic->IsPointInside(60, 30));

  // A box under 2 x 2 pixels gets no diagonals.
  pic->SetWidth(1000);
  PaintAll(canvas);
  EXPECT_EQ(canvas.Count(CanvasOp::Rectangle), 1u);
  EXPECT_EQ(canvas.Count(CanvasOp::LineTo), 0u);
}

TEST_F(PictureFixture, DrawsTheFrameOfItsIndexStretchedOverTheBox) {
  const picture::BitmapGraphic frames = TwoFrames();
  pic->Picture().SetGraphic(&frames);
  pic->Picture().SetColumns(2);
  EXPECT_TRUE(pic->IsPointInside(20, 30));  // a picture hits without the editor too
  for (int32_t index : {0, 1, -1}) {
    pic->SetFrameIndex(index);
    RecordingCanvas canvas;
    PaintAll(canvas);
    ASSERT_EQ(canvas.Count(CanvasOp::StretchDraw), 1u) << index;
    for (const auto& c : canvas.Commands()) {
      if (c.op != CanvasOp::StretchDraw) continue;
      EXPECT_EQ(c.ToString().rfind("StretchDraw 10,20,50,40", 0), 0u) << c.ToString();
      ASSERT_TRUE(c.bitmap);
      EXPECT_EQ(c.bitmap->Width(), index < 0 ? 8 : 4);
      EXPECT_EQ(c.bitmap->GetPixel(0, 0), index == 1 ? canvas::clBlue : canvas::clRed);
    }
  }
}

TEST_F(PictureFixture, AutoSizeTakesThePicturesSizeAndLocksIt) {
  pic->SetAutoSize(true);  // no picture yet: the size stays free
  pic->SetWidth(7000);
  EXPECT_EQ(pic->GetWidth(), 7000);
  const picture::BitmapGraphic frames = TwoFrames();
  pic->Picture().SetGraphic(&frames);
  EXPECT_EQ(pic->GetWidth(), 8000);
  EXPECT_EQ(pic->GetHeight(), 2000);
  pic->SetWidth(30000);
  EXPECT_EQ(pic->GetWidth(), 8000);
  const picture::BitmapGraphic wide(canvas::Bitmap(30, 5, canvas::clLime));
  pic->Picture().SetGraphic(&wide);
  EXPECT_EQ(pic->GetWidth(), 30000);
  EXPECT_EQ(pic->GetHeight(), 5000);
  pic->SetAutoSize(false);
  pic->SetWidth(12000);
  EXPECT_EQ(pic->GetWidth(), 12000);
  // Switching it on again fits the box at once.
  pic->SetAutoSize(true);
  EXPECT_EQ(pic->GetWidth(), 30000);
}

TEST_F(PictureFixture, LinkPointsLieOnThePicturesOwnArea) {
  pic->SetDocRect({0, 0, 41000, 21000});
  const std::vector<TPoint> expected{{0, 0},         {20000, 0},     {40000, 0},     {40000, 10000}, {40000, 20000},
                                     {20000, 20000}, {0, 20000},     {0, 10000},     {20000, 10000}};
  ASSERT_EQ(pic->GetLinkPointCount(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(pic->GetLinkPoint(i), expected[static_cast<size_t>(i)]) << i;
}

TEST_F(PictureFixture, AFastBufferMakesThePictureAlwaysComposed) {
  EXPECT_EQ(pic->TransparencyMode(), 0);
  const picture::BitmapGraphic frames = TwoFrames();
  pic->Picture().SetGraphic(&frames);
  pic->Picture().SetFastBuffer(true);
  RecordingCanvas canvas;
  PaintAll(canvas);
  EXPECT_EQ(pic->TransparencyMode(), 1);
}

TEST_F(PictureFixture, AFrameIndexOutsideTheGridDrawsTheWholePicture) {
  const picture::BitmapGraphic frames = TwoFrames();
  pic->Picture().SetGraphic(&frames);
  pic->Picture().SetColumns(2);
  for (int32_t index : {2, 100, INT32_MAX, INT32_MIN}) {
    pic->SetFrameIndex(index);
    RecordingCanvas canvas;
    PaintAll(canvas);
    for (const auto& c : canvas.Commands()) {
      if (c.op != CanvasOp::StretchDraw) continue;
      ASSERT_TRUE(c.bitmap);
      EXPECT_EQ(c.bitmap->Width(), 8) << index;
    }
    EXPECT_EQ(canvas.Count(CanvasOp::StretchDraw), 1u) << index;
  }
}

TEST_F(PictureFixture, SavesAndLoadsByteForByte) {
  const picture::BitmapGraphic frames = TwoFrames();
  pic->Picture().SetGraphic(&frames);
  pic->Picture().SetColumns(2);
  pic->SetFrameIndex(1);
  TVexaPicture* sized = New(panel);
  sized->SetName("sized");
  sized->SetAutoSize(true);
  const picture::BitmapGraphic wide(canvas::Bitmap(30, 5, canvas::clLime));
  sized->Picture().SetGraphic(&wide);
  sized->SetFrameIndex(0);
  TVexaPicture* empty = New(panel);
  empty->SetName("empty");
  EXPECT_EQ(empty->GetFrameIndex(), 1);  // the one index that is not stored

  const std::string saved = panel.SaveText();
  EXPECT_NE(saved.find("AutoSize = True"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FrameIndex = 0"), std::string::npos);
  TTestVexaPanel loaded;
  loaded.LoadText(saved);
  EXPECT_EQ(loaded.SaveText(), saved);
  auto* scheme = static_cast<TVexaControl*>(loaded.Schemes().GetChild(0));
  auto* copy = dynamic_cast<TVexaPicture*>(scheme->FindChildByName("pic"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Picture().GraphicWidth(), 8);
  EXPECT_EQ(copy->Picture().GetColumns(), 2);
  auto* sizedCopy = dynamic_cast<TVexaPicture*>(scheme->FindChildByName("sized"));
  ASSERT_NE(sizedCopy, nullptr);
  EXPECT_EQ(sizedCopy->GetWidth(), 30000);
  sizedCopy->SetWidth(1000);
  EXPECT_EQ(sizedCopy->GetWidth(), 30000);  // loaded still locked to the picture
  auto* emptyCopy = dynamic_cast<TVexaPicture*>(scheme->FindChildByName("empty"));
  ASSERT_NE(emptyCopy, nullptr);
  EXPECT_TRUE(emptyCopy->Picture().IsEmpty());
}

}  // namespace
}  // namespace pv::graphics
