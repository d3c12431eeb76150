// Texts over a real outline font on the Qt canvas: a precise text takes the same share of its
// box at every zoom and never leaves the box; a text with a clear brush leaves what was drawn
// under it.
#include <gtest/gtest.h>

#include <algorithm>

#include "document/testing/TestVexaPanel.h"
#include "paint/tests/TestCanvas.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaText.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

TEST(VexaTextQt, PreciseTextTakesTheSameShareOfItsBoxAtEveryZoom) {
  graphics::testing::StartQt();
  RegisterShapeClasses();
  TTestVexaPanel panel;
  panel.NewDocument();
  auto* text = TVexaControl::New<TVexaText>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  text->SetDocRect({10000, 10000, 210000, 160000});
  text->Text().SetText(
      "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore et "
      "dolore magna aliqua. \xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!");
  text->SetPrecise(true);
  text->SetWordWrap(true);
  text->Font().SetHeight(-13000);
  std::vector<double> rightShare, bottomShare;
  for (int32_t scale : {100, 200, 400}) {
    panel.scale = scale;
    const TRect box = panel.DocToPixelRect(text->GetDocRect());
    graphics::testing::WhiteImage image(box.right + 20, box.bottom + 20);
    panel.paintRect = {0, 0, box.right + 20, box.bottom + 20};
    text->PaintAll(*image.canvas, text->GetLeft(), text->GetTop());
    Ink ink;
    for (int y = 0; y < image.image.height(); ++y) {
      for (int x = 0; x < image.image.width(); ++x) {
        if (image.At(x, y) == 0xFFFFFF) continue;
        ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
      }
    }
    ASSERT_GE(ink.right, 0) << scale;
    EXPECT_GE(ink.left, box.left) << scale;
    EXPECT_LT(ink.right, box.right) << scale;
    EXPECT_GE(ink.top, box.top) << scale;
    EXPECT_LT(ink.bottom, box.bottom) << scale;
    rightShare.push_back(static_cast<double>(ink.right - box.left) / (box.right - box.left));
    bottomShare.push_back(static_cast<double>(ink.bottom - box.top) / (box.bottom - box.top));
  }
  for (size_t i = 1; i < rightShare.size(); ++i) {
    EXPECT_NEAR(rightShare[i], rightShare[0], 0.03) << i;
    EXPECT_NEAR(bottomShare[i], bottomShare[0], 0.03) << i;
  }
}

// A red line through a text control of the default clear brush, drawn after a solid brush left
// the canvas's background opaque in green: between the letters the line stays red.
TEST(VexaTextQt, TextLeavesTheLineUnderIt) {
  graphics::testing::StartQt();
  RegisterShapeClasses();
  TTestVexaPanel panel;
  panel.NewDocument();
  auto* text = TVexaControl::New<TVexaText>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  text->SetDocRect({10000, 10000, 230000, 60000});
  text->Text().SetText("I        I");
  text->Font().SetHeight(-20000);
  for (bool precise : {false, true}) {
    text->SetPrecise(precise);
    const TRect box = panel.DocToPixelRect(text->GetDocRect());
    graphics::testing::WhiteImage image(box.right + 10, box.bottom + 10);
    panel.paintRect = {0, 0, box.right + 10, box.bottom + 10};
    canvas::Canvas& c = *image.canvas;
    const int row = box.top + 12;  // through the middle of the letters
    c.SetPen(canvas::Pen{canvas::PenStyle::Solid, 1, canvas::clRed, canvas::PenMode::Copy});
    c.MoveTo(0, row);
    c.LineTo(box.right + 10, row);
    c.SetBkColor(canvas::clLime);
    c.SetBrush(canvas::Brush{canvas::BrushStyle::Solid, canvas::clWhite, nullptr});
    text->PaintAll(c, text->GetLeft(), text->GetTop());
    int letters = 0, other = 0;
    for (int x = box.left; x < box.right; ++x) {
      const uint32_t at = image.At(x, row);
      letters += at == canvas::clBlack;
      other += at != canvas::clBlack && at != canvas::clRed;
    }
    EXPECT_GT(letters, 0) << "precise " << precise;
    EXPECT_EQ(other, 0) << "precise " << precise;
  }
}

}  // namespace
}  // namespace pv::graphics
