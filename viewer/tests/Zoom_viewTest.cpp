#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "Zoom_view.h"

namespace pv::viewer {
namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 340;

ZoomViews Fitted() {
  ZoomViews z;
  z.SetWindow(20, 20, {0, 0, 100, 50}, kWidth, kHeight);
  return z;
}

TEST(ZoomViews, SetWindowFitsTheRectangleInsideTheMarginsAtOneScale) {
  const ZoomViews z = Fitted();
  // m = min(440 - 40, 340 - 40) = 300: 3 pixels per unit across, 6 up; the smaller wins.
  EXPECT_DOUBLE_EQ(z.Current().scaleX, 3.0);
  EXPECT_DOUBLE_EQ(z.Current().scaleY, 3.0);
  EXPECT_DOUBLE_EQ(z.Current().centreX, 50.0);
  EXPECT_DOUBLE_EQ(z.Current().left, 50.0 - 220.0 / 3);
  EXPECT_DOUBLE_EQ(z.Current().top, 25.0 + 170.0 / 3);
  EXPECT_EQ(z.Current(), z.Reset());
  // The rectangle's corners land inside the margins, centred.
  EXPECT_EQ(z.WorldToScreen({0, 0, 0}, nullptr), (canvas::TPoint{70, 245}));
  EXPECT_EQ(z.WorldToScreen({100, 50, 0}, nullptr), (canvas::TPoint{370, 95}));
  EXPECT_EQ(z.RatioText(), "1 : 1");
  EXPECT_EQ(z.ScrollBars(), (ZoomScrollBars{1000, 500, 1000, 500}));
}

TEST(ZoomViews, DegenerateRectanglesAndTinyBoxesStillGiveAFiniteScale) {
  ZoomViews flat;
  flat.SetWindow(20, 20, {0, 5, 100, 5}, kWidth, kHeight);  // zero height: scale y 1.0
  EXPECT_DOUBLE_EQ(flat.Current().scaleX, 1.0);

  ZoomViews tiny;
  tiny.SetWindow(20, 20, {0, 0, 100, 50}, 30, 30);  // margins leave nothing: fit into 1 pixel
  EXPECT_DOUBLE_EQ(tiny.Current().scaleX, 0.01);
  EXPECT_GT(tiny.Current().right, tiny.Current().left);
}

TEST(ZoomViews, WorldToScreenAndBackRoundTrip) {
  ZoomViews z = Fitted();
  for (int step = 0; step < 4; ++step) {
    for (int x : {0, 1, 70, 219, 439}) {
      for (int y : {0, 3, 245, 339}) {
        const Point3D w = z.ScreenToWorld(x, y);
        EXPECT_EQ(z.WorldToScreen(w, nullptr), (canvas::TPoint{x, y})) << step << " " << x << "," << y;
      }
    }
    z.ZoomBy(1 / 1.25);
    z.Recentre(100, 80);
  }
  // Through a matrix: a translation by (10, 0) moves the pixel by 10 units of scale.
  Matrix4x4 m = DXF_Utils::TranslationMatrix({10, 0, 0});
  const ZoomViews f = Fitted();
  EXPECT_EQ(f.WorldToScreen({0, 0, 0}, &m), (canvas::TPoint{100, 245}));
}

TEST(ZoomViews, ZoomInThenOutComesBackAndTheLabelSaysSo) {
  ZoomViews z = Fitted();
  const double scale = z.Current().scaleX;
  z.ZoomBy(1 / 1.25);  // Z_PLUS
  EXPECT_DOUBLE_EQ(z.Current().scaleX, scale * 1.25);
  EXPECT_EQ(z.RatioText(), "1.25 : 1");
  EXPECT_EQ(z.ScrollBars().hPage, 800);
  z.ZoomBy(1.25);  // Z_MINUS
  EXPECT_DOUBLE_EQ(z.Current().scaleX, scale);
  EXPECT_EQ(z.RatioText(), "1 : 1");
  z.ZoomBy(1.25);
  EXPECT_EQ(z.RatioText(), "1 : 1.25");
  // The window keeps its pixel size and its middle.
  EXPECT_NEAR((z.Current().right - z.Current().left) * z.Current().scaleX, kWidth, 1e-9);
  EXPECT_NEAR((z.Current().left + z.Current().right) / 2, 50.0, 1e-9);
}

TEST(ZoomViews, NothingMovesBeforeTheWindowIsSet) {
  ZoomViews z;
  z.ZoomBy(2);
  z.Recentre(10, 10);
  z.ResetView();
  EXPECT_FALSE(z.WindowSet());
  EXPECT_EQ(z.Current(), Zoom_view{});
}

TEST(ZoomViews, RecentreAndTheLastView) {
  ZoomViews z = Fitted();
  z.ZoomBy(0.5);
  const Zoom_view zoomed = z.Current();
  const Point3D target = z.ScreenToWorld(300, 100);
  z.Recentre(300, 100);
  EXPECT_DOUBLE_EQ(z.Current().centreX, target.x);
  EXPECT_DOUBLE_EQ(z.Current().centreY, target.y);
  EXPECT_DOUBLE_EQ(z.Current().scaleX, zoomed.scaleX);
  EXPECT_EQ(z.WorldToScreen(target, nullptr), (canvas::TPoint{kWidth / 2, kHeight / 2}));

  // After a reset, the last view is the one shown before it, and pressing it twice holds.
  const Zoom_view beforeReset = z.Current();
  z.ResetView();
  EXPECT_DOUBLE_EQ(z.Current().scaleX, z.Reset().scaleX);
  z.RestoreLastView();
  EXPECT_EQ(z.Current(), beforeReset);
  z.RestoreLastView();
  EXPECT_EQ(z.Current(), beforeReset);
}

TEST(ZoomViews, ZoomToRectShowsTheRectangleInTheSmallerSide) {
  ZoomViews z = Fitted();
  z.ZoomToRect({10, 10, 20, 15}, kWidth, kHeight);
  // m = 340: 34 across, 68 up; 34 wins; centred on (15, 12.5).
  EXPECT_DOUBLE_EQ(z.Current().scaleX, 34.0);
  EXPECT_EQ(z.WorldToScreen({15, 12.5, 0}, nullptr), (canvas::TPoint{220, 170}));
  EXPECT_EQ(z.RatioText(), "11.3 : 1");
}

TEST(ZoomViews, ScrollingByLinesAndByPages) {
  ZoomViews z = Fitted();
  z.ZoomBy(0.5);
  const double x = z.Current().centreX;
  z.ScrollHorizontal(500, 510, 500);  // a line step moves by world units
  EXPECT_DOUBLE_EQ(z.Current().centreX, x + 10);
  // A page: e = 500 * (reset width) / 1000, moved by round(e - e / 12).
  const double width = z.Reset().right - z.Reset().left;
  const double e = 500 * width / 1000;
  z.ScrollHorizontal(510, 1010, 500);
  EXPECT_DOUBLE_EQ(z.Current().centreX, x + 10 + std::nearbyint(e - e / 12));
  EXPECT_DOUBLE_EQ(z.Current().right - z.Current().left, width / 2);

  const double y = z.Current().centreY;
  z.ScrollVertical(500, 503, 500);  // down the bar is down the drawing
  EXPECT_DOUBLE_EQ(z.Current().centreY, y - 3);
}

TEST(ZoomViews, APixelBeyondTheIntegerRangeIsRefused) {
  ZoomViews z = Fitted();
  EXPECT_THROW(z.WorldToScreen({1e12, 0, 0}, nullptr), std::range_error);
}

TEST(ZoomTexts, GeneralAndFixedForms) {
  EXPECT_EQ(GeneralText(1.25, 3), "1.25");
  EXPECT_EQ(GeneralText(1.0, 3), "1");
  EXPECT_EQ(GeneralText(1.5625, 3), "1.56");
  EXPECT_EQ(GeneralText(1234.5, 3), "1.23E3");
  EXPECT_EQ(GeneralText(5432100.123, 7), "5432100");
  EXPECT_EQ(GeneralText(-12.5, 7), "-12.5");
  EXPECT_EQ(GeneralText(0.0, 7), "0");
  EXPECT_EQ(GeneralText(0.000012345, 3), "0.0000123");
  EXPECT_EQ(GeneralText(0.0000012345, 3), "1.23E-6");
  EXPECT_EQ(CoordinateText({12.3456, -0.5, 0}), "X= 12.346   Y= -0.500");
  EXPECT_EQ(FixedText(123456.789, 8, 3), "123456.790");
  EXPECT_EQ(FixedText(0.0, 8, 3), "0.000");
}

}  // namespace
}  // namespace pv::viewer
