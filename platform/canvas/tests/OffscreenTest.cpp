// Rectangle runs into regions, canvases seen through a shifted origin, and the recording
// double of the off-screen canvas factory.
#include <gtest/gtest.h>

#include <random>

#include "canvas/BitmapCanvas.h"
#include "canvas/OffsetCanvas.h"
#include "canvas/RecordingCanvas.h"
#include "canvas/Region.h"

namespace pv::canvas {
namespace {

TEST(RegionFromRects, EqualsThePairwiseUnion) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coord(-20, 40);
  for (int round = 0; round < 20; ++round) {
    std::vector<TRect> rects;
    Region pairwise;
    for (int i = 0; i < 30; ++i) {
      int l = coord(random), t = coord(random), r = coord(random), b = coord(random);
      if (round % 2 == 0) b = t + 1;  // one-row runs, as a mask gives them
      TRect rect{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
      rects.push_back(rect);
      pairwise = Region::Combine(pairwise, Region::FromRect(rect), RegionMode::Or);
    }
    EXPECT_EQ(Region::FromRects(rects), pairwise) << "round " << round;
  }
}

TEST(RegionFromRects, SkipsEmptyRectanglesAndMergesEqualRows) {
  const std::vector<TRect> rects{{0, 0, 4, 1}, {0, 1, 4, 2}, {5, 5, 5, 9}, {2, 2, 1, 3}};
  const Region r = Region::FromRects(rects);
  EXPECT_EQ(r, Region::FromRect({0, 0, 4, 2}));
  EXPECT_EQ(r.Rects().size(), 1u);
  EXPECT_TRUE(Region::FromRects({}).IsEmpty());
}

TEST(OffsetCanvas, ShiftsCoordinatesInAndAnswersOutside) {
  auto inner = std::make_unique<RecordingCanvas>(TSize{100, 100});
  RecordingCanvas& rec = *inner;
  OffsetCanvas c(std::move(inner), {10, 20});
  c.MoveTo(10, 20);
  c.LineTo(15, 25);
  c.Rectangle({10, 20, 30, 40});
  TRect box{12, 22, 40, 40};
  c.DrawText("a", box, DT_CALCRECT);
  EXPECT_EQ(box.left, 12);
  c.IntersectClipRect({15, 25, 50, 50});
  EXPECT_EQ(c.GetClipBox(), (TRect{15, 25, 50, 50}));
  EXPECT_EQ(rec.GetClipBox(), (TRect{5, 5, 40, 30}));
  EXPECT_EQ(c.GetClipRgn(), Region::FromRect({15, 25, 50, 50}));
  EXPECT_EQ(c.GetPenPos(), (TPoint{15, 25}));
  Bitmap b(2, 2);
  c.SetPixels(11, 21, b);
  EXPECT_EQ(rec.Lines()[0], "MoveTo 0,0");
  EXPECT_EQ(rec.Lines()[1], "LineTo 5,5");
  EXPECT_EQ(rec.Lines()[2], "Rectangle 0,0,20,20");
  EXPECT_EQ(rec.Lines().back(), "SetPixels 1,1,2,2");
  c.SelectClipRgn(std::nullopt);
  EXPECT_FALSE(c.GetClipRgn().has_value());
}

TEST(BitmapCanvasFactory, NoneWithoutARegisteredFactoryOrForAnEmptyBitmap) {
  BitmapCanvasFactory* before = SetBitmapCanvasFactory(nullptr);
  Bitmap bitmap(4, 4);
  EXPECT_EQ(CreateBitmapCanvas(bitmap), nullptr);
  RecordingBitmapCanvasFactory recording;
  SetBitmapCanvasFactory(&recording);
  Bitmap empty;
  EXPECT_EQ(CreateBitmapCanvas(empty), nullptr);
  {
    auto canvas = CreateBitmapCanvas(bitmap);
    ASSERT_NE(canvas, nullptr);
    canvas->FillRect({0, 0, 2, 2});
    EXPECT_EQ(canvas->GetClipBox(), (TRect{0, 0, 4, 4}));
    Bitmap read;
    EXPECT_FALSE(canvas->GetPixels({0, 0, 1, 1}, read));
  }
  EXPECT_EQ(recording.created, 1);
  ASSERT_EQ(recording.finished.size(), 1u);
  EXPECT_EQ(recording.finished[0][0].ToString(), "FillRect 0,0,2,2");
  SetBitmapCanvasFactory(before);
}

TEST(Bitmap, AlphaBitmapsKeepTheirAlphaByte) {
  Bitmap a = Bitmap::Argb(3, 2, 0x80112233u);
  EXPECT_TRUE(a.HasAlpha());
  EXPECT_EQ(a.Row(1)[2], 0x80112233u);
  EXPECT_EQ(a.GetPixel(0, 0), 0x332211u);  // colours still read as 0x00BBGGRR
  a.SetPixel(0, 0, clRed);
  EXPECT_EQ(a.Row(0)[0], 0xFFFF0000u);     // set pixels are opaque
  EXPECT_FALSE(Bitmap(2, 2).HasAlpha());
}

}  // namespace
}  // namespace pv::canvas
