// Transparent controls paint through the panel's alpha buffer, checked by pixels.

#include <gtest/gtest.h>

#include "canvas/Canvas.h"
#include "document/Clone.h"
#include "document/testing/TestVexaPanel.h"
#include "paint/tests/TestCanvas.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

class TRedControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  void Paint(canvas::Canvas& canvas, const TRect& rect) override {
    canvas.SetBrush({canvas::BrushStyle::Solid, 0x0000FF, nullptr});
    canvas.FillRect(rect);
  }

 protected:
  void ControlCreate() override {
    TVexaControl::ControlCreate();
    SetVisible(true);
    SetWidth(20000);
    SetHeight(20000);
  }
};
const TVexaControlClass TRedControl::ClassInfo{{"TRedControl", &TVexaControl::ClassInfo.ref},
                                               &TVexaControl::Creator<TRedControl>};

struct Rgb {
  int r, g, b;
};

Rgb Split(uint32_t bgr) { return {static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>(bgr >> 16)}; }

struct TransparencyFixture : ::testing::Test {
  TransparencyFixture() : image(40, 40) {
    panel.NewDocument();
    panel.paintRect = {0, 0, 40, 40};
    red = TVexaControl::New<TRedControl>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  }
  Rgb PaintAndProbe(TVexaControl* control) {
    control->PaintAll(*image.canvas, control->GetLeft(), control->GetTop());
    return Split(image.At(5, 5));
  }
  void ExpectNear(Rgb got, Rgb want) {
    EXPECT_NEAR(got.r, want.r, 1);
    EXPECT_NEAR(got.g, want.g, 1);
    EXPECT_NEAR(got.b, want.b, 1);
  }
  TTestVexaPanel panel;
  graphics::testing::WhiteImage image;
  TVexaControl* red;
};

TEST_F(TransparencyFixture, HalfTransparentRedOverWhite) {
  red->SetTransparency(50);
  ExpectNear(PaintAndProbe(red), {255, 128, 128});
  EXPECT_FALSE(panel.AlphaBuffer().Drawing());
}

TEST_F(TransparencyFixture, TheLayersTransparencyCombinesWithTheControls) {
  red->SetTransparency(50);
  panel.GetActiveLayer()->SetTransparency(50);
  EXPECT_EQ(red->EffectiveTransparency(), 75);
  ExpectNear(PaintAndProbe(red), {255, 191, 191});
}

TEST_F(TransparencyFixture, ATransparentChildOverAnOpaqueParent) {
  red->SetTransparency(50);
  TVexaControl* inner = TVexaControl::New<TRedControl>(&panel, red, nullptr);
  inner->SetTransparency(50);
  red->SetTransparencyMode(2);  // the outer one paints opaque red under the inner one
  ExpectNear(PaintAndProbe(red), {255, 0, 0});
}

TEST_F(TransparencyFixture, AChildComposesIntoItsTransparentParent) {
  TVexaControl* container = TVexaControl::New<TVexaControl>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  container->SetVisible(true);
  container->SetWidth(20000);
  container->SetHeight(20000);
  container->SetTransparency(50);
  TVexaControl* child = TVexaControl::New<TRedControl>(&panel, container, nullptr);
  child->SetTransparency(50);
  ExpectNear(PaintAndProbe(container), {255, 191, 191});  // a quarter of red
}

TEST_F(TransparencyFixture, TransparencyCanBeLeftOut) {
  red->SetTransparency(50);
  panel.suppressTransparency = true;
  ExpectNear(PaintAndProbe(red), {255, 0, 0});
}

// A clone of another size than its source paints the source into a bitmap and stretches it;
// what the source leaves unpainted stays as it was.
TEST_F(TransparencyFixture, AStretchedCloneKeepsWhatItsSourceLeavesUnpainted) {
  TVexaControl* holder = TVexaControl::New<TVexaControl>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  holder->SetVisible(true);
  holder->SetDocRect({0, 0, 10000, 10000});
  red->SetParent(holder);
  red->SetDocRect({0, 0, 5000, 5000});
  auto* clone = TVexaControl::New<TVexaClone>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  clone->SetSource(holder);
  clone->SetAutoSize(false);
  clone->SetDocRect({20000, 0, 40000, 20000});
  clone->PaintAll(*image.canvas, clone->GetLeft(), clone->GetTop());
  ExpectNear(Split(image.At(22, 2)), {255, 0, 0});
  ExpectNear(Split(image.At(29, 9)), {255, 0, 0});
  ExpectNear(Split(image.At(31, 2)), {255, 255, 255});
  ExpectNear(Split(image.At(35, 15)), {255, 255, 255});
  ExpectNear(Split(image.At(5, 5)), {255, 255, 255});  // the source itself was not painted here
  EXPECT_EQ(panel.paintRect, (TRect{0, 0, 40, 40}));
}

TEST_F(TransparencyFixture, GridDotsLandOnTheirPixels) {
  TVexaGrid& grid = panel.Grid();
  grid.SetHorizSize(10000);
  grid.SetVertSize(10000);
  grid.Paint(*image.canvas, {0, 0, 40, 40});
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool dot = x % 10 == 0 && y % 10 == 0;
      ASSERT_EQ(image.At(x, y), dot ? 0x808080u : 0xFFFFFFu) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace pv::graphics
