#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <optional>

#include "canvas/RecordingCanvas.h"
#include "qtcanvas/QtCanvas.h"
#include "qtcanvas/tests/TestApp.h"

using namespace pv::canvas;
using pv::qtcanvas::QtCanvas;

namespace {

using pv::qtcanvas::test::App;

class QtCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    image_ = QImage(40, 40, QImage::Format_RGB32);
    image_.fill(Qt::white);
    canvas_ = std::make_unique<QtCanvas>(image_);
    Pen pen;
    pen.color = clBlack;
    canvas_->SetPen(pen);
    Brush clear;
    clear.style = BrushStyle::Clear;
    canvas_->SetBrush(clear);
  }

  uint32_t At(int x, int y) const { return canvas_->GetPixel(x, y); }
  bool Dark(int x, int y) const { return At(x, y) != 0xFFFFFF; }
  // Ink within `r` pixels of (x, y): curves may land a pixel off where Qt flattens them.
  bool InkNear(int x, int y, int r) const {
    for (int dy = -r; dy <= r; ++dy) {
      for (int dx = -r; dx <= r; ++dx) {
        if (Dark(x + dx, y + dy)) return true;
      }
    }
    return false;
  }
  // Bounds of the pixels that are not white, as left, top, right, bottom (exclusive).
  TRect InkBounds() const {
    TRect r{1000, 1000, -1, -1};
    for (int y = 0; y < image_.height(); ++y) {
      for (int x = 0; x < image_.width(); ++x) {
        if (!Dark(x, y)) continue;
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
    }
    return r;
  }

  QImage image_;
  std::unique_ptr<QtCanvas> canvas_;
};

TEST_F(QtCanvasTest, PixelsCarryColoursInPlatformOrder) {
  canvas_->SetPixel(3, 4, 0x0000FF);  // red as 0x00BBGGRR
  EXPECT_EQ(qRed(image_.pixel(3, 4)), 255);
  EXPECT_EQ(qBlue(image_.pixel(3, 4)), 0);
  EXPECT_EQ(At(3, 4), 0x0000FFu);
  EXPECT_EQ(At(-1, 0), CLR_INVALID);
  EXPECT_EQ(At(40, 0), CLR_INVALID);
}

TEST_F(QtCanvasTest, LinesLeaveTheirEndPixelOut) {
  canvas_->MoveTo(2, 5);
  canvas_->LineTo(9, 5);
  EXPECT_TRUE(Dark(2, 5));
  EXPECT_TRUE(Dark(8, 5));
  EXPECT_FALSE(Dark(9, 5));
  EXPECT_EQ(canvas_->GetPenPos(), (TPoint{9, 5}));
  EXPECT_EQ(InkBounds(), (TRect{2, 5, 9, 6}));
}

TEST_F(QtCanvasTest, RectanglesExcludeRightAndBottomEdges) {
  canvas_->Rectangle({2, 3, 8, 9});
  EXPECT_EQ(InkBounds(), (TRect{2, 3, 8, 9}));
  EXPECT_TRUE(Dark(7, 8));
  EXPECT_FALSE(Dark(4, 5));  // clear brush leaves the inside alone

  image_.fill(Qt::white);
  canvas_->SetBrush(Brush{BrushStyle::Solid, clBlue, nullptr});
  canvas_->FillRect({10, 10, 15, 12});
  EXPECT_EQ(InkBounds(), (TRect{10, 10, 15, 12}));
  EXPECT_EQ(At(14, 11), 0xFF0000u);
}

TEST_F(QtCanvasTest, FilledPolygonCoversPixelCentresInside) {
  Pen none;
  none.style = PenStyle::Clear;
  canvas_->SetPen(none);
  canvas_->SetBrush(Brush{BrushStyle::Solid, clBlack, nullptr});
  const TPoint square[] = {{1, 1}, {8, 1}, {8, 8}, {1, 8}};
  canvas_->Polygon(square);
  EXPECT_EQ(InkBounds(), (TRect{1, 1, 8, 8}));
}

TEST_F(QtCanvasTest, EllipseFitsItsBoxAndEqualRadialsDrawTheWholeEllipse) {
  canvas_->Ellipse({0, 0, 21, 11});
  EXPECT_EQ(InkBounds(), (TRect{0, 0, 21, 11}));
  EXPECT_FALSE(Dark(10, 5));
  const QImage ellipse = image_.copy();

  image_.fill(Qt::white);
  canvas_->Arc({0, 0, 21, 11}, {30, 5}, {30, 5});
  EXPECT_EQ(image_, ellipse);
}

TEST_F(QtCanvasTest, ArcRunsCounterClockwiseBetweenTheRays) {
  // From the ray to the right round to the ray upwards: the upper right quarter only.
  canvas_->Arc({0, 0, 31, 31}, {40, 15}, {15, -10});
  const TRect ink = InkBounds();
  EXPECT_GE(ink.left, 14);
  EXPECT_LE(ink.bottom, 17);
  EXPECT_TRUE(InkNear(30, 15, 1));
  EXPECT_TRUE(InkNear(15, 0, 1));
  // The other way round is the remaining three quarters.
  image_.fill(Qt::white);
  canvas_->Arc({0, 0, 31, 31}, {15, -10}, {40, 15});
  EXPECT_TRUE(InkNear(0, 15, 1));
  EXPECT_TRUE(InkNear(15, 30, 1));
  EXPECT_FALSE(InkNear(26, 4, 1));
}

TEST_F(QtCanvasTest, ArcOnAFlatEllipseStartsWhereTheRayCutsIt) {
  // 2:1 ellipse; the ray at 45 degrees meets it at x = y = 2ab / sqrt(a^2 + b^2) from the centre.
  canvas_->Arc({0, 0, 41, 21}, {30, 0}, {0, 10});
  // a = 20, b = 10: the ray point is (8.9, -8.9) from (20, 10): about pixel (29, 1).
  EXPECT_FALSE(InkNear(34, 3, 1));  // a parametric 45 degrees would start here
  EXPECT_TRUE(InkNear(29, 1, 2));
  EXPECT_TRUE(InkNear(0, 10, 1));
}

TEST_F(QtCanvasTest, XorAndNotXorDrawingUndoThemselves) {
  canvas_->SetBrush(Brush{BrushStyle::Solid, 0x336699, nullptr});
  canvas_->FillRect({0, 0, 40, 40});
  const QImage before = image_.copy();

  Pen xorPen{PenStyle::Solid, 1, 0xFFFFFF, PenMode::Xor};
  canvas_->SetPen(xorPen);
  canvas_->MoveTo(1, 1);
  canvas_->LineTo(30, 20);
  EXPECT_EQ(At(1, 1), 0x336699u ^ 0xFFFFFFu);
  canvas_->MoveTo(1, 1);
  canvas_->LineTo(30, 20);
  EXPECT_EQ(image_, before);

  // The rubber band: a red dash-dot-dot rectangle in not-xor mode, drawn twice.
  Pen band{PenStyle::DashDotDot, 1, clRed, PenMode::NotXor};
  canvas_->SetPen(band);
  canvas_->SetBrush(Brush{BrushStyle::Clear, clWhite, nullptr});
  canvas_->Rectangle({5, 5, 30, 25});
  EXPECT_EQ(At(5, 5), (~(0x336699u ^ 0x0000FFu)) & 0xFFFFFFu);
  EXPECT_NE(image_, before);
  canvas_->Rectangle({5, 5, 30, 25});
  EXPECT_EQ(image_, before);
}

TEST_F(QtCanvasTest, NotXorWithRedOnWhiteShowsRed) {
  canvas_->SetPen(Pen{PenStyle::Solid, 1, clRed, PenMode::NotXor});
  canvas_->MoveTo(0, 0);
  canvas_->LineTo(10, 0);
  EXPECT_EQ(At(3, 0), 0x0000FFu);
}

TEST_F(QtCanvasTest, RasterOperationsOnPixels) {
  struct Case {
    PenMode mode;
    uint32_t expected;  // pen 0x00F0F0 on destination 0x0F0FF0 (both 0x00BBGGRR)
  } cases[] = {
      {PenMode::Black, 0x000000}, {PenMode::White, 0xFFFFFF},  {PenMode::Copy, 0x00F0F0},
      {PenMode::Xor, 0x0FFF00},   {PenMode::Merge, 0x0FFFF0},  {PenMode::Mask, 0x0000F0},
      {PenMode::Not, 0xF0F00F},   {PenMode::NotCopy, 0xFF0F0F}, {PenMode::Nop, 0x0F0FF0},
  };
  for (const Case& c : cases) {
    canvas_->SetPen(Pen{});
    canvas_->SetBrush(Brush{BrushStyle::Solid, 0x0F0FF0, nullptr});
    canvas_->FillRect({0, 0, 10, 10});
    canvas_->SetPen(Pen{PenStyle::Solid, 1, 0x00F0F0, c.mode});
    canvas_->MoveTo(0, 2);
    canvas_->LineTo(9, 2);
    EXPECT_EQ(At(4, 2), c.expected) << static_cast<int>(c.mode);
  }
}

TEST_F(QtCanvasTest, TextIsPlacedByItsCellTopOrBaseline) {
  Font font;
  font.name = "Arial";
  font.height = -20;
  canvas_->SetFont(font);
  canvas_->SetBkMode(BkMode::Transparent);
  const TextMetric m = canvas_->GetTextMetrics();
  ASSERT_GT(m.ascent, 10);
  canvas_->TextOut(2, 3, "H");
  const TRect top = InkBounds();
  // The cap height starts below the cell top by about the internal leading.
  EXPECT_GE(top.top, 3);
  EXPECT_LE(top.top, 3 + m.internalLeading + 5);
  EXPECT_EQ(top.bottom, 3 + m.ascent);  // H sits on the baseline

  image_.fill(Qt::white);
  canvas_->SetTextAlign(TA_BASELINE | TA_LEFT);
  canvas_->TextOut(2, 30, "H");
  EXPECT_EQ(InkBounds().bottom, 30);

  image_.fill(Qt::white);
  canvas_->SetTextAlign(TA_BASELINE | TA_RIGHT);
  canvas_->TextOut(30, 30, "H");
  EXPECT_LE(InkBounds().right, 30);
  EXPECT_GE(InkBounds().right, 27);
}

// A line crossing a text: the text's cell hides the line only when its background is opaque,
// which a solid brush brings and a clear one does not; a mode set after the brush wins. The
// same drawing is made on this canvas and recorded and played back onto it.
TEST_F(QtCanvasTest, TextBackgroundFollowsTheBrush) {
  struct Case {
    const char* name;
    BrushStyle brush;
    std::optional<BkMode> after;
    bool hidden;
  };
  const Case cases[] = {
      {"clear brush", BrushStyle::Clear, std::nullopt, false},
      {"solid brush", BrushStyle::Solid, std::nullopt, true},
      {"clear brush, then opaque", BrushStyle::Clear, BkMode::Opaque, true},
      {"solid brush, then transparent", BrushStyle::Solid, BkMode::Transparent, false},
  };
  constexpr TColor kLine = 0x0000FF;
  constexpr TColor kBack = 0x00FF00;
  constexpr int kRow = 12;  // through the middle of the text's cell
  for (bool recorded : {false, true}) {
    for (const Case& c : cases) {
      const std::string where = std::string(c.name) + (recorded ? ", recorded" : ", direct");
      image_.fill(Qt::white);
      RecordingCanvas recorder;
      Canvas& target = recorded ? static_cast<Canvas&>(recorder) : *canvas_;
      target.SetPen(Pen{PenStyle::Solid, 1, kLine, PenMode::Copy});
      Font font;
      font.name = "Arial";
      font.height = -20;
      target.SetFont(font);
      target.SetTextAlign(TA_TOP | TA_LEFT);
      target.SetBkColor(kBack);
      // The opposite of what the brush should bring, so that only the brush can set it.
      target.SetBkMode(c.hidden ? BkMode::Transparent : BkMode::Opaque);
      target.MoveTo(0, kRow);
      target.LineTo(40, kRow);
      target.SetBrush(Brush{c.brush, 0x808080, nullptr});
      if (c.after) target.SetBkMode(*c.after);
      EXPECT_EQ(target.GetBkMode(), c.hidden ? BkMode::Opaque : BkMode::Transparent) << where;
      target.TextOut(2, 2, "I    I");
      if (recorded) Replay(recorder.Commands(), *canvas_);
      const int gap = 2 + canvas_->TextWidth("I  ");
      ASSERT_LT(gap, 36) << where;
      EXPECT_EQ(At(gap, kRow), c.hidden ? kBack : kLine) << where;
      EXPECT_EQ(At(39, kRow), kLine) << where;  // beside the text the line is always there
    }
  }
}

TEST_F(QtCanvasTest, PositiveFontHeightIsTheCellHeight) {
  Font font;
  font.height = 24;
  canvas_->SetFont(font);
  const TextMetric m = canvas_->GetTextMetrics();
  EXPECT_NEAR(m.height, 24, 1);
  EXPECT_EQ(canvas_->GetTextExtent("ab").cy, m.height);
  EXPECT_GT(canvas_->GetTextExtent("abc").cx, canvas_->GetTextExtent("ab").cx);
}

TEST_F(QtCanvasTest, ClipKeepsDrawingInside) {
  canvas_->IntersectClipRect({5, 5, 10, 10});
  canvas_->SetBrush(Brush{BrushStyle::Solid, clBlack, nullptr});
  canvas_->FillRect({0, 0, 40, 40});
  canvas_->SetPixel(20, 20, clBlack);
  EXPECT_EQ(InkBounds(), (TRect{5, 5, 10, 10}));
  EXPECT_EQ(canvas_->GetClipBox(), (TRect{5, 5, 10, 10}));

  canvas_->SaveState();
  canvas_->SelectClipRgn(std::nullopt);
  canvas_->SetPixel(20, 20, clBlack);
  canvas_->RestoreState();
  EXPECT_TRUE(Dark(20, 20));
  canvas_->SetPixel(30, 30, clBlack);
  EXPECT_FALSE(Dark(30, 30));  // the restored clip holds again
}

TEST_F(QtCanvasTest, AClipOfManyRectanglesHoldsAfterAnEarlierClipWasRestored) {
  // An ellipse region is many rectangles; an earlier clip, saved and restored, switched the
  // painter's clipping off in between.
  canvas_->SaveState();
  canvas_->IntersectClipRect({0, 0, 3, 3});
  canvas_->RestoreState();
  canvas_->SaveState();
  canvas_->ExtSelectClipRgn(Region::FromEllipse({4, 4, 36, 36}), RegionMode::And);
  canvas_->SetBrush(Brush{BrushStyle::Solid, clBlack, nullptr});
  canvas_->FillRect({0, 0, 40, 40});
  canvas_->RestoreState();
  EXPECT_TRUE(Dark(20, 20));
  EXPECT_FALSE(Dark(5, 5));  // the ellipse's bounding box corner
  EXPECT_FALSE(Dark(34, 34));
  EXPECT_EQ(InkBounds(), (TRect{4, 4, 36, 36}));
}

TEST_F(QtCanvasTest, PathFillMatchesPolygonFill) {
  canvas_->BeginPath();
  canvas_->MoveTo(1, 1);
  canvas_->LineTo(8, 1);
  canvas_->LineTo(8, 8);
  canvas_->LineTo(1, 8);
  canvas_->CloseFigure();
  canvas_->EndPath();
  EXPECT_EQ(InkBounds().right, -1);  // nothing drawn while the path is built
  canvas_->SetBrush(Brush{BrushStyle::Solid, clBlack, nullptr});
  canvas_->FillPath();
  EXPECT_EQ(InkBounds(), (TRect{1, 1, 8, 8}));

  canvas_->BeginPath();
  canvas_->Rectangle({2, 2, 6, 6});
  canvas_->EndPath();
  const Region region = canvas_->PathToRegion();
  EXPECT_EQ(region.Bounds(), (TRect{2, 2, 6, 6}));
}

TEST_F(QtCanvasTest, BitmapsAndBlockTransfers) {
  Bitmap bitmap(4, 3, clRed);
  bitmap.SetPixel(0, 0, clBlue);
  canvas_->Draw(10, 10, bitmap);
  EXPECT_EQ(At(10, 10), 0xFF0000u);
  EXPECT_EQ(At(13, 12), 0x0000FFu);
  EXPECT_FALSE(Dark(14, 12));

  // Transparent: the bottom-left colour is left out.
  bitmap.transparent = true;
  image_.fill(Qt::white);
  canvas_->Draw(0, 0, bitmap);
  EXPECT_EQ(At(0, 0), 0xFF0000u);
  EXPECT_FALSE(Dark(1, 1));

  image_.fill(Qt::white);
  const QImage before = image_.copy();
  Bitmap solid(5, 5, 0x123456);
  canvas_->StretchBlt({0, 0, 10, 10}, solid, {0, 0, 5, 5}, Rop3::SrcInvert);
  EXPECT_EQ(At(9, 9), 0xFFFFFFu ^ 0x123456u);
  canvas_->StretchBlt({0, 0, 10, 10}, solid, {0, 0, 5, 5}, Rop3::SrcInvert);
  EXPECT_EQ(image_, before);
}

TEST_F(QtCanvasTest, WidePensAreCentredOnTheLine) {
  canvas_->SetPen(Pen{PenStyle::Solid, 3, clBlack, PenMode::Copy});
  canvas_->MoveTo(5, 10);
  canvas_->LineTo(30, 10);
  EXPECT_TRUE(Dark(15, 9));
  EXPECT_TRUE(Dark(15, 10));
  EXPECT_TRUE(Dark(15, 11));
  EXPECT_FALSE(Dark(15, 8));
  EXPECT_FALSE(Dark(15, 12));
}

// The canvas keeps the QPens of the last few pens; more pens than it keeps, in turn and in
// both widths, each stroke in their own colour and width.
TEST_F(QtCanvasTest, EveryPenOfManyInTurnStrokesInItsOwnColourAndWidth) {
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 18; ++i) {
      const TColor colour = RGB(static_cast<uint8_t>(10 * i), static_cast<uint8_t>(200 - 5 * i), 40);
      const int32_t width = i % 3 == 0 ? 3 : 1;
      canvas_->SetPen(Pen{PenStyle::Solid, width, colour, PenMode::Copy});
      const int y = 2 + i * 2 + round;
      canvas_->MoveTo(5, y);
      canvas_->LineTo(35, y);
      EXPECT_EQ(At(20, y), colour) << "pen " << i << ", round " << round;
      EXPECT_EQ(At(20, y + 1) == colour, width == 3) << "pen " << i << ", round " << round;
    }
  }
}

TEST(QtCanvasFaces, DocumentFontsMapToInstalledFaces) {
  EXPECT_EQ(pv::qtcanvas::FaceFor("Arial"), "Liberation Sans");
  EXPECT_EQ(pv::qtcanvas::FaceFor("FF_ARIAL"), "Liberation Sans");
  EXPECT_EQ(pv::qtcanvas::FaceFor("Courier New"), "Liberation Mono");
  EXPECT_EQ(pv::qtcanvas::FaceFor("FF_ROMAN"), "Liberation Serif");
  EXPECT_EQ(pv::qtcanvas::FaceFor("DejaVu Sans"), "DejaVu Sans");
}

}  // namespace
