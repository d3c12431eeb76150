// The picture control's pixels on the Qt canvas: frames, the fast buffer, transparency and the
// placeholder.
#include <gtest/gtest.h>

#include "document/testing/TestVexaPanel.h"
#include "paint/tests/TestCanvas.h"
#include "picture/Graphics.h"
#include "picture/Picture.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaPicture.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;   // 0x00BBGGRR
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kBlack = 0x000000;

// Two frames side by side: red on the left, blue on the right, 4 x 2 pixels each.
picture::BitmapGraphic TwoFrames() {
  canvas::Bitmap b(8, 2, canvas::clRed);
  for (int y = 0; y < 2; ++y) {
    for (int x = 4; x < 8; ++x) b.SetPixel(x, y, canvas::clBlue);
  }
  return picture::BitmapGraphic(std::move(b));
}

struct PictureQtFixture : ::testing::Test {
  PictureQtFixture() : image(60, 40) {
    picture::RegisterStandardGraphics();
    RegisterShapeClasses();
    panel.NewDocument();
    panel.paintRect = {0, 0, 60, 40};
    pic = TVexaControl::New<TVexaPicture>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    pic->SetDocRect({10000, 10000, 50000, 30000});  // pixels 10..49 x 10..29
  }
  void Paint() {
    image.image.fill(Qt::white);
    pic->PaintAll(*image.canvas, pic->GetLeft(), pic->GetTop());
  }
  void UseFrames() {
    const picture::BitmapGraphic frames = TwoFrames();
    pic->Picture().SetGraphic(&frames);
    pic->Picture().SetColumns(2);
  }
  TTestVexaPanel panel;
  graphics::testing::WhiteImage image;
  TVexaPicture* pic = nullptr;
};

TEST_F(PictureQtFixture, PaintsTheChosenFrameOverTheWholeBox) {
  UseFrames();
  struct Case {
    int32_t index;
    uint32_t left, right;
  } cases[] = {{0, kRed, kRed}, {1, kBlue, kBlue}, {-1, kRed, kBlue}};
  for (bool fast : {false, true}) {
    pic->Picture().SetFastBuffer(fast);
    for (const Case& c : cases) {
      pic->SetFrameIndex(c.index);
      Paint();
      EXPECT_EQ(image.At(11, 11), c.left) << fast << " " << c.index;
      EXPECT_EQ(image.At(48, 28), c.right) << fast << " " << c.index;
      EXPECT_EQ(image.At(9, 11), kWhite);  // nothing outside the box
      EXPECT_EQ(image.At(11, 30), kWhite);
      EXPECT_EQ(image.At(50, 28), kWhite);
    }
  }
  EXPECT_FALSE(panel.AlphaBuffer().Drawing());
}

TEST_F(PictureQtFixture, TransparencyBlendsThePictureOverWhatIsBelow) {
  UseFrames();
  pic->SetFrameIndex(0);
  pic->SetTransparency(50);
  for (bool fast : {false, true}) {
    pic->Picture().SetFastBuffer(fast);
    Paint();
    const uint32_t p = image.At(30, 20);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 255, 1) << fast;
    EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 128, 1) << fast;
    EXPECT_NEAR(static_cast<int>(p >> 16), 128, 1) << fast;
  }
}

TEST_F(PictureQtFixture, AMaskedBitmapLeavesItsMaskColourOut) {
  UseFrames();
  pic->SetFrameIndex(-1);
  pic->Picture().SetMaskColor(canvas::clRed);
  pic->Picture().SetMasked(true);
  for (bool fast : {false, true}) {
    pic->Picture().SetFastBuffer(fast);
    for (int32_t transparency : {0, 40}) {
      pic->SetTransparency(transparency);
      Paint();
      EXPECT_EQ(image.At(15, 20), kWhite) << fast << " " << transparency;  // the red half is left out
      if (transparency == 0) {
        EXPECT_EQ(image.At(45, 20), kBlue) << fast;
      } else {
        EXPECT_NE(image.At(45, 20), kWhite) << fast;
      }
    }
  }
}

TEST_F(PictureQtFixture, AnEmptyPictureShowsACrossedFrameOnlyWhileEditing) {
  Paint();
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) ASSERT_EQ(image.At(x, y), kWhite) << x << "," << y;
  }
  panel.showEditingAids = true;
  Paint();
  // The frame's edges and corners.
  for (auto [x, y] : {std::pair{10, 10}, {49, 10}, {10, 29}, {49, 29}, {30, 10}, {30, 29}, {10, 20}, {49, 20}}) {
    EXPECT_EQ(image.At(x, y), kBlack) << x << "," << y;
  }
  EXPECT_EQ(image.At(9, 9), kWhite);
  EXPECT_EQ(image.At(50, 30), kWhite);
  // Both diagonals cross the middle row, the inside stays clear.
  int crossing = 0;
  for (int x = 11; x < 49; ++x) crossing += image.At(x, 20) == kBlack ? 1 : 0;
  EXPECT_GE(crossing, 2);
  EXPECT_LE(crossing, 6);
  EXPECT_EQ(image.At(30, 13), kWhite);
  EXPECT_EQ(image.At(14, 20), kWhite);
}

}  // namespace
}  // namespace pv::graphics
