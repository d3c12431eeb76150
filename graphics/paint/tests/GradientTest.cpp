#include "paint/Gradient.h"

#include <gtest/gtest.h>

#include <cmath>

#include "paint/tests/TestCanvas.h"

namespace pv::graphics {
namespace {

using testing::WhiteImage;

// The step that covers pixel x of a horizontal gradient of n steps over w pixels: the last step
// whose band starts at or before x, a band starting at round(i w / n).
int StepAt(int x, int w, int n) {
  int step = 0;
  for (int i = 0; i < n; ++i) {
    if (std::floor(static_cast<double>(i) * w / n + 0.5) <= x) step = i;
  }
  return step;
}

TEST(PaintGradient, HorizontalBandsMatchAnIndependentStepAndColourComputation) {
  for (int w : {1, 10, 300, 1000}) {
    WhiteImage img(w + 4, 3);
    PaintGradient(*img.canvas, {2, 0, 2 + w, 2}, TGradientStyle::gsHorizontal, PenMode::Copy, clBlack, clWhite);
    const int n = std::min(255, w);
    EXPECT_EQ(GradientSteps(TGradientStyle::gsHorizontal, w, 2, clBlack, clWhite), n);
    for (int x = 0; x < w; ++x) {
      const int i = StepAt(x, w, n);
      const uint8_t v = n == 1 ? 0 : static_cast<uint8_t>(255 * i / (n - 1));
      ASSERT_EQ(img.At(2 + x, 1), RGB(v, v, v)) << "width " << w << " x " << x;
    }
    // Nothing outside the rect: the last band's extra pixel is clipped away.
    EXPECT_EQ(img.At(1, 0), 0xFFFFFFu);
    EXPECT_EQ(img.At(2 + w, 0), 0xFFFFFFu);
    EXPECT_EQ(img.At(2, 2), 0xFFFFFFu);
  }
}

TEST(PaintGradient, StepCountsFollowTheLargestChannelAndTheExtent) {
  struct Case {
    TGradientStyle style;
    int w, h;
    TColor from, to;
    int steps;
  };
  const Case cases[] = {
      {TGradientStyle::gsHorizontal, 10, 50, clBlack, clWhite, 10},
      {TGradientStyle::gsHorizontal, 1000, 5, clBlack, clWhite, 255},
      {TGradientStyle::gsVertical, 1000, 5, clBlack, clWhite, 5},
      {TGradientStyle::gsSquare, 40, 30, clBlack, clWhite, 15},
      {TGradientStyle::gsElliptic, 1, 30, clBlack, clWhite, 1},  // would be 0: clamped
      {TGradientStyle::gsTopLeft, 40, 30, clBlack, clWhite, 30},
      {TGradientStyle::gsHorizontal, 500, 5, static_cast<TColor>(RGB(10, 20, 30)), static_cast<TColor>(RGB(13, 0, 30)), 20},
      {TGradientStyle::gsHorizontal, 500, 5, clRed, clRed, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GradientSteps(c.style, c.w, c.h, c.from, c.to), c.steps) << static_cast<int>(c.style);
  }
}

TEST(PaintGradient, CornerStylesRunFromTheirCornerAndStayInside) {
  struct Case {
    TGradientStyle style;
    int cx, cy;  // the corner pixel inside the 40 x 30 rect at (5, 5)
  };
  for (const Case& c : {Case{TGradientStyle::gsTopLeft, 0, 0}, Case{TGradientStyle::gsTopRight, 39, 0},
                        Case{TGradientStyle::gsBottomLeft, 0, 29}, Case{TGradientStyle::gsBottomRight, 39, 29}}) {
    WhiteImage img(50, 40);
    PaintGradient(*img.canvas, {5, 5, 45, 35}, c.style, PenMode::Copy, clRed, clBlue);
    EXPECT_EQ(img.At(5 + c.cx, 5 + c.cy), static_cast<uint32_t>(clRed)) << static_cast<int>(c.style);
    // The far corner: the first steps cover the whole rect, so within a step or two of the end colour.
    const uint32_t far = img.At(5 + 39 - c.cx, 5 + 29 - c.cy);
    EXPECT_GE(GetBValue(far), 235) << static_cast<int>(c.style);
    EXPECT_LE(GetRValue(far), 20) << static_cast<int>(c.style);
    for (int x = 0; x < 50; ++x) {
      EXPECT_EQ(img.At(x, 4), 0xFFFFFFu);
      EXPECT_EQ(img.At(x, 35), 0xFFFFFFu);
    }
  }
}

TEST(PaintGradient, CentredStylesEndInTheEndColourAndRestoreTheCanvas) {
  for (TGradientStyle style : {TGradientStyle::gsSquare, TGradientStyle::gsElliptic}) {
    WhiteImage img(60, 60);
    const Pen pen{PenStyle::Dash, 1, clLime, PenMode::Copy};
    img.canvas->SetPen(pen);
    img.canvas->IntersectClipRect({0, 0, 60, 60});
    PaintGradient(*img.canvas, {10, 10, 50, 50}, style, PenMode::Copy, clBlack, clWhite);
    EXPECT_EQ(img.At(30, 30), 0xFFFFFFu);  // the innermost step
    EXPECT_EQ(img.At(10, 10) & 0xFF, 0u);  // the outermost, black
    EXPECT_EQ(img.canvas->GetPen(), pen);
    EXPECT_EQ(img.canvas->GetClipBox(), (TRect{0, 0, 60, 60}));
  }
  WhiteImage img(5, 5);
  PaintGradient(*img.canvas, {1, 1, 2, 2}, TGradientStyle::gsSquare, PenMode::Copy, clRed, clBlue);
  EXPECT_EQ(img.At(1, 1), static_cast<uint32_t>(clRed));  // one step, the begin colour
  PaintGradient(*img.canvas, {3, 3, 3, 9}, TGradientStyle::gsSquare, PenMode::Copy, clRed, clBlue);  // empty
}

}  // namespace
}  // namespace pv::graphics
