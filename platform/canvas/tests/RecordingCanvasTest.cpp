#include "canvas/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace pv::canvas {
namespace {

using Lines = std::vector<std::string>;

TEST(RecordingCanvas, RecordsCallsInOrderWithTheirArguments) {
  RecordingCanvas c;
  c.MoveTo(1, 2);
  c.LineTo(3, 4);
  const std::array<TPoint, 3> tri{{{0, 0}, {4, 0}, {0, 3}}};
  c.Polygon(tri);
  c.Ellipse({0, 0, 10, 10});
  c.Arc({0, 0, 10, 10}, {10, 5}, {5, 0});
  c.SetPixel(7, 8, clRed);
  c.TextOut(5, 6, "abc");
  EXPECT_EQ(c.Lines(), (Lines{"MoveTo 1,2", "LineTo 3,4", "Polygon (0,0) (4,0) (0,3)", "Ellipse 0,0,10,10",
                              "Arc 0,0,10,10,10,5,5,0", "SetPixel 7,8,255", "TextOut 5,6 \"abc\""}));
  EXPECT_EQ(c.GetPenPos(), (TPoint{3, 4}));
  EXPECT_EQ(c.Count(CanvasOp::LineTo), 1u);
}

TEST(RecordingCanvas, AttributeSettersChangeOneFieldOfTheState) {
  RecordingCanvas c;
  c.SetPenColor(clRed);
  c.SetPenMode(PenMode::NotXor);
  c.SetBrushStyle(BrushStyle::Clear);
  c.SetFontHeight(14);
  EXPECT_EQ(c.GetPen().color, clRed);
  EXPECT_EQ(c.GetPen().mode, PenMode::NotXor);
  EXPECT_EQ(c.GetPen().width, 1);
  EXPECT_EQ(c.GetBrush().style, BrushStyle::Clear);
  EXPECT_EQ(c.GetFont().height, 14);
  EXPECT_EQ(c.Count(CanvasOp::SetPen), 2u);
}

// Each step of the sequence changes the brush or the mode; the mode after it is the expected one.
TEST(RecordingCanvas, BrushesBringTheirTextBackground) {
  struct Step {
    std::optional<BrushStyle> brush;
    std::optional<BkMode> mode;
    BkMode expected;
  };
  const Step steps[] = {
      {BrushStyle::Clear, std::nullopt, BkMode::Transparent},
      {BrushStyle::Solid, std::nullopt, BkMode::Opaque},
      {BrushStyle::Cross, std::nullopt, BkMode::Opaque},  // a hatch keeps the mode
      {BrushStyle::Clear, std::nullopt, BkMode::Transparent},
      {BrushStyle::BDiagonal, std::nullopt, BkMode::Transparent},
      {std::nullopt, BkMode::Opaque, BkMode::Opaque},  // the mode set after the brush
      {BrushStyle::Clear, std::nullopt, BkMode::Transparent},
  };
  RecordingCanvas c;
  EXPECT_EQ(c.GetBkMode(), BkMode::Opaque);  // the default brush is solid
  for (size_t i = 0; i < std::size(steps); ++i) {
    if (steps[i].brush) c.SetBrushStyle(*steps[i].brush);
    if (steps[i].mode) c.SetBkMode(*steps[i].mode);
    EXPECT_EQ(c.GetBkMode(), steps[i].expected) << "step " << i;
  }
  c.SaveState();
  c.SetBrushStyle(BrushStyle::Solid);
  c.RestoreState();
  EXPECT_EQ(c.GetBkMode(), BkMode::Transparent);
}

TEST(RecordingCanvas, SaveAndRestoreState) {
  RecordingCanvas c;
  c.SaveState();
  c.SetPenWidth(3);
  c.SetTextAlign(TA_BASELINE | TA_CENTER);
  c.IntersectClipRect({0, 0, 5, 5});
  c.RestoreState();
  EXPECT_EQ(c.GetPen().width, 1);
  EXPECT_EQ(c.GetTextAlign(), TA_LEFT | TA_TOP);
  EXPECT_FALSE(c.GetClipRgn().has_value());
  c.RestoreState();  // nothing saved: no effect
  EXPECT_EQ(c.GetPen().width, 1);
}

TEST(RecordingCanvas, ClippingCombinesRegions) {
  RecordingCanvas c({100, 100});
  EXPECT_EQ(c.GetClipBox(), (TRect{0, 0, 100, 100}));
  c.IntersectClipRect({10, 10, 50, 50});
  c.ExcludeClipRect({10, 10, 20, 50});
  EXPECT_EQ(c.GetClipBox(), (TRect{20, 10, 50, 50}));
  c.ExtSelectClipRgn(Region::FromRect({0, 0, 5, 5}), RegionMode::Or);
  EXPECT_TRUE(c.GetClipRgn()->Contains(2, 2));
  c.SelectClipRgn(std::nullopt);
  EXPECT_FALSE(c.GetClipRgn().has_value());
}

TEST(RecordingCanvas, PathBecomesARegion) {
  RecordingCanvas c;
  c.BeginPath();
  EXPECT_TRUE(c.InPath());
  c.MoveTo(0, 0);
  c.LineTo(10, 0);
  c.LineTo(10, 10);
  c.LineTo(0, 10);
  c.CloseFigure();
  c.EndPath();
  EXPECT_EQ(c.PathToRegion(), Region::FromRect({0, 0, 10, 10}));
  // The path is used up.
  EXPECT_TRUE(c.PathToRegion().IsEmpty());

  c.BeginPath();
  c.Ellipse({0, 0, 40, 40});
  c.EndPath();
  c.SelectClipPath(RegionMode::Copy);
  ASSERT_TRUE(c.GetClipRgn().has_value());
  EXPECT_TRUE(c.GetClipRgn()->Contains(20, 20));
  EXPECT_FALSE(c.GetClipRgn()->Contains(1, 1));
}

TEST(RecordingCanvas, ArcToMovesThePenToTheEndOfTheArc) {
  RecordingCanvas c;
  // Counter-clockwise on the screen from three o'clock to twelve o'clock.
  c.ArcTo({0, 0, 20, 20}, {20, 10}, {10, 0});
  EXPECT_EQ(c.GetPenPos(), (TPoint{10, 0}));
}

TEST(RecordingCanvas, TextMetricsFollowTheFontHeight) {
  RecordingCanvas c;
  c.SetFontHeight(-16);  // em height 16
  const TextMetric m = c.GetTextMetrics();
  EXPECT_EQ(m.height, 18);
  EXPECT_EQ(m.internalLeading, 2);
  EXPECT_EQ(m.ascent + m.descent, m.height);
  EXPECT_EQ(c.GetTextExtent("abcd"), (TSize{32, 18}));
  EXPECT_EQ(c.GetTextExtent("\xC3\xA9t\xC3\xA9").cx, 24);  // three characters of UTF-8
  c.SetFontHeight(18);  // cell height 18
  EXPECT_EQ(c.GetTextMetrics().height, 18);
  EXPECT_EQ(c.GetCharABCWidths('a', 'c').size(), 3u);
}

TEST(RecordingCanvas, DrawTextMeasuresAndWraps) {
  RecordingCanvas c;
  c.SetFontHeight(-10);  // 5 pixels a character, 11 a line
  TRect r{0, 0, 40, 0};
  EXPECT_EQ(c.DrawText("one two three", r, DT_CALCRECT | DT_WORDBREAK), 22);
  EXPECT_EQ(r, (TRect{0, 0, 35, 22}));  // "one two" and "three"
  const size_t before = c.Commands().size();
  TRect line{0, 0, 40, 0};
  EXPECT_EQ(c.DrawText("a\nb", line, DT_CALCRECT | DT_SINGLELINE), 11);
  EXPECT_EQ(c.Commands().size(), before);  // measuring draws nothing
  TRect box{0, 0, 100, 100};
  c.DrawText("x", box, DT_LEFT);
  EXPECT_EQ(c.Lines().back(), "DrawText 0,0,100,100,0 \"x\"");
}

TEST(RecordingCanvas, UpdateCurrentPositionPlacesTextAtThePen) {
  RecordingCanvas c;
  c.SetFontHeight(-10);
  c.SetTextAlign(TA_UPDATECP);
  c.MoveTo(100, 50);
  c.TextOut(0, 0, "ab");
  EXPECT_EQ(c.Lines().back(), "TextOut 100,50 \"ab\"");
  EXPECT_EQ(c.GetPenPos(), (TPoint{110, 50}));
}

TEST(RecordingCanvas, ReplayReproducesTheRecord) {
  RecordingCanvas source;
  source.SetPen({PenStyle::DashDotDot, 1, clRed, PenMode::NotXor});
  source.SetBrushStyle(BrushStyle::Clear);
  source.Rectangle({1, 2, 30, 40});
  source.RoundRect({0, 0, 9, 9}, 3, 4);
  const std::array<TPoint, 4> bez{{{0, 0}, {1, 5}, {5, 5}, {6, 0}}};
  source.PolyBezier(bez);
  const std::array<TPoint, 6> pp{{{0, 0}, {4, 0}, {0, 4}, {10, 10}, {14, 10}, {10, 14}}};
  const std::array<int32_t, 2> counts{3, 3};
  source.PolyPolygon(pp, counts);
  const TRect opaque{0, 0, 50, 10};
  const std::array<int32_t, 2> advances{6, 7};
  source.ExtTextOut(3, 4, ETO_OPAQUE, &opaque, "hi", advances);
  source.FillRgn(Region::FromEllipse({0, 0, 8, 8}), Brush{});
  source.SelectClipRgn(Region::FromRect({0, 0, 3, 3}));
  source.StretchBlt({0, 0, 20, 20}, Bitmap(2, 2, clBlue), {0, 0, 2, 2}, Rop3::SrcCopy);
  source.Pie({0, 0, 10, 10}, {10, 5}, {0, 5});

  RecordingCanvas copy;
  Replay(source.Commands(), copy);
  EXPECT_EQ(copy.Lines(), source.Lines());
  EXPECT_EQ(copy.GetPen(), source.GetPen());
  EXPECT_EQ(copy.GetClipRgn(), source.GetClipRgn());
  EXPECT_EQ(copy.Commands().back().args, source.Commands().back().args);
}

TEST(Bitmap, PixelsAndTransparentColour) {
  Bitmap b(3, 2, clWhite);
  b.SetPixel(0, 1, clRed);
  EXPECT_EQ(b.GetPixel(0, 1), static_cast<uint32_t>(clRed));
  EXPECT_EQ(b.Row(1)[0], 0x00FF0000u);  // stored red, green, blue from the top byte down
  EXPECT_EQ(b.GetPixel(3, 0), CLR_INVALID);
  b.SetPixel(-1, 0, clRed);  // outside: ignored
  EXPECT_EQ(b.TransparentRGB(), static_cast<uint32_t>(clRed));  // bottom-left pixel
  b.transparentColor = clWhite;
  EXPECT_EQ(b.TransparentRGB(), 0xFFFFFFu);
  EXPECT_TRUE(Bitmap(-3, 4).Empty());
}

}  // namespace
}  // namespace pv::canvas
