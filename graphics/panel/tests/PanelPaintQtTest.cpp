// The panel painting its document on the Qt canvas, checked by probing pixels: background,
// shadow, frame, the scheme, handles, rubber band, output painting and nested painting.

#include <gtest/gtest.h>

#include "paint/tests/TestCanvas.h"
#include "panel/PanelPaint.h"
#include "panel/tests/PanelFixture.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaBox.h"

namespace pv::graphics {
namespace {

using testing::WhiteImage;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kRed = 0x0000FF;

// The document is 200 x 100 pixels at 100 %, centred in the 400 x 300 window: it covers
// client pixels (100, 100) - (300, 200).
struct PanelPaint : ::testing::Test, test::PanelFixture {
  explicit PanelPaint(bool editing = true) : test::PanelFixture(editing), image(400, 300) {
    RegisterShapeClasses();
    panel.SetDocWidth(200000);
    panel.SetDocHeight(100000);
    panel.Color = kGreen;
  }
  // The whole client area, as the window's paint handler paints it.
  void PaintWindow(WhiteImage& into) { panel.WindowPaint(*into.canvas, {0, 0, 400, 300}); }
  void PaintWindow() { PaintWindow(image); }
  TVexaBox* RedBox(const TRect& r) {
    auto* box = TVexaControl::New<TVexaBox>(&panel, Scheme(), panel.GetActiveLayer());
    box->SetDocRect(r);
    box->Pen().SetColor(canvas::clBlack);
    box->Brush().SetColor(canvas::clRed);
    return box;
  }
  int NonWhiteOnRow(int y, int x0, int x1) const {
    int n = 0;
    for (int x = x0; x < x1; ++x) n += image.At(x, y) != kWhite ? 1 : 0;
    return n;
  }
  WhiteImage image;
};

struct Probe {
  int x, y;
  uint32_t colour;
};

void ExpectProbes(const WhiteImage& image, std::initializer_list<Probe> probes, const char* what) {
  for (const Probe& p : probes) EXPECT_EQ(p.colour, image.At(p.x, p.y)) << what << " at " << p.x << "," << p.y;
}

TEST_F(PanelPaint, ASmallDocumentShowsBackgroundShadowFrameAndScheme) {
  ASSERT_EQ(TPoint(-100, -100), panel.ScrollOrigin());
  PaintWindow();
  ExpectProbes(image,
               {{50, 50, kGreen},     // the window's own colour around the document
                {99, 150, kBlack},    // frame, left
                {150, 99, kBlack},    // frame, top
                {300, 150, kBlack},   // frame, right
                {150, 200, kBlack},   // frame, bottom
                {150, 150, kWhite},   // the scheme's white page
                {303, 150, kGrey},    // right shadow bar
                {150, 203, kGrey},    // bottom shadow bar
                {303, 103, kGreen},   // the shadow starts 5 pixels down
                {102, 203, kGreen},   // and 5 pixels right
                {307, 150, kGreen}},  // and is 5 pixels thick
               "framed");

  panel.SetDocShadowColor(canvas::clNone);
  PaintWindow();
  ExpectProbes(image, {{303, 150, kGreen}, {150, 203, kGreen}, {99, 150, kBlack}, {300, 150, kBlack}}, "no shadow");

  panel.SetDocShadowColor(kRed);
  panel.SetDocFrameColor(canvas::clNone);
  PaintWindow();
  ExpectProbes(image, {{303, 150, kRed}, {99, 150, kGreen}, {300, 150, kGreen}}, "no frame colour");

  panel.SetShowDocFrame(false);
  PaintWindow();
  ExpectProbes(image, {{303, 150, kGreen}, {99, 150, kGreen}, {150, 150, kWhite}}, "frame off");
}

TEST_F(PanelPaint, ADocumentFillingTheWindowHasNoFrameUnlessPaintedOutsideTheView) {
  panel.SetDocWidth(800000);
  panel.SetDocHeight(600000);
  ASSERT_EQ(TPoint(0, 0), panel.ScrollOrigin());
  window.ScrollTo(panelwindow::TScrollBarKind::Horizontal, 10);
  window.ScrollTo(panelwindow::TScrollBarKind::Vertical, 10);
  PaintWindow();
  EXPECT_EQ(kWhite, image.At(0, 0));
  // From outside the window's paint handler the frame shows where the document begins.
  WhiteImage other(400, 300);
  panel.PaintDocument(*other.canvas, {0, 0, 400, 300}, false, false, false, false, false, false, nullptr, 100,
                      {-20, -20});
  ExpectProbes(other, {{19, 100, kBlack}, {100, 19, kBlack}, {10, 10, kGreen}, {100, 100, kWhite}}, "outside");
}

TEST_F(PanelPaint, ControlsPaintAtTheirPlaceAndASmallRepaintMatchesTheWhole) {
  RedBox({20000, 20000, 80000, 60000});  // client (120, 120) - (180, 160)
  RedBox({150000, 50000, 250000, 150000});  // over the document's right and bottom edge
  PaintWindow();
  ExpectProbes(image, {{150, 140, kRed}, {119, 140, kWhite}, {181, 140, kWhite}, {270, 170, kRed}}, "boxes");

  // Each update rectangle, painted into a canvas of its own size, gives the pixels of the
  // whole paint there.
  for (const TRect& update : {TRect{95, 95, 135, 135}, TRect{185, 150, 320, 210}, TRect{0, 0, 1, 1},
                              TRect{290, 190, 310, 215}, TRect{150, 140, 200, 175}}) {
    WhiteImage part(RectWidth(update), RectHeight(update));
    panel.WindowPaint(*part.canvas, update);
    int diffs = 0;
    for (int y = 0; y < RectHeight(update); ++y) {
      for (int x = 0; x < RectWidth(update); ++x) {
        if (part.At(x, y) != image.At(update.left + x, update.top + y) && diffs++ < 5) {
          ADD_FAILURE() << x + update.left << "," << y + update.top << " " << std::hex << part.At(x, y) << " vs "
                        << image.At(update.left + x, update.top + y);
        }
      }
    }
    EXPECT_EQ(0, diffs) << "update " << update.left << "," << update.top;
  }
  EXPECT_EQ(TPoint(-100, -100), panel.ScrollOrigin());
  EXPECT_EQ(TRect(0, 0, 0, 0), panel.PaintRect());
}

// Small repaints visit only the controls near them, through an index of the scheme: every
// change to the document shows in the next small repaint all the same.
TEST_F(PanelPaint, SmallRepaintsFollowEveryChangeOfTheDocument) {
  TVexaBox* a = RedBox({20000, 20000, 80000, 60000});  // client (120, 120) - (180, 160)
  const auto pixelAfterSmallRepaint = [&](int x, int y) {
    WhiteImage part(10, 10);
    panel.WindowPaint(*part.canvas, {x - 5, y - 5, x + 5, y + 5});
    return part.At(5, 5);
  };
  EXPECT_EQ(kRed, pixelAfterSmallRepaint(150, 140));

  a->SetDocRect({120000, 20000, 160000, 60000});  // client (220, 120) - (260, 160)
  EXPECT_EQ(kWhite, pixelAfterSmallRepaint(150, 140));
  EXPECT_EQ(kRed, pixelAfterSmallRepaint(240, 140));

  a->SetLeft(a->GetLeft() + 10000);  // (230, 120) - (270, 160)
  EXPECT_EQ(kRed, pixelAfterSmallRepaint(265, 140));

  TVexaBox* b = RedBox({30000, 70000, 70000, 90000});  // client (130, 170) - (170, 190)
  EXPECT_EQ(kRed, pixelAfterSmallRepaint(150, 180));
  b->Brush().SetColor(kGreen);
  EXPECT_EQ(kGreen, pixelAfterSmallRepaint(150, 180));
  b->SetVisible(false);
  EXPECT_EQ(kWhite, pixelAfterSmallRepaint(150, 180));
  b->SetVisible(true);
  panel.GetActiveLayer()->SetVisible(false);
  EXPECT_EQ(kWhite, pixelAfterSmallRepaint(150, 180));
  panel.GetActiveLayer()->SetVisible(true);
  EXPECT_EQ(kGreen, pixelAfterSmallRepaint(150, 180));

  a->Free();
  EXPECT_EQ(kWhite, pixelAfterSmallRepaint(250, 140));
  // Zoomed in, the remaining box fills a larger area.
  panel.SetScale(200);
  const TPoint centre = panel.DocToPixelPoint({50000, 80000});
  EXPECT_EQ(kGreen, pixelAfterSmallRepaint(centre.x, centre.y));
}

TEST_F(PanelPaint, SelectionHandlesAreEightInvertedSquares) {
  TVexaControl* c = Box(Scheme(), {50000, 20000, 100000, 60000});  // client (150, 120) - (200, 160)
  panel.SelectOne(c);
  // Inflated by 8: (142, 112) - (208, 168); half steps (66 - 6) / 2 = 30 and (56 - 6) / 2 = 25.
  PaintWindow();
  ExpectProbes(image,
               {{144, 114, kBlack}, {174, 114, kBlack}, {204, 114, kBlack}, {144, 139, kBlack}, {204, 139, kBlack},
                {144, 164, kBlack}, {174, 164, kBlack}, {204, 164, kBlack},
                {160, 114, kWhite}, {148, 114, kWhite}, {175, 140, kWhite}},
               "handles");
  const canvas::Region handles = panel.GetHandlesRegion();
  EXPECT_EQ(TRect(142, 112, 208, 168), handles.Bounds());
  EXPECT_EQ(8 * 36, [&] {
    int area = 0;
    for (const TRect& r : handles.Rects()) area += RectWidth(r) * RectHeight(r);
    return area;
  }());

  // Hidden while the panel has no focus, when asked.
  panel.HideSelection = true;
  EXPECT_TRUE(panel.GetHandlesRegion().IsEmpty());
  window.focused = true;
  EXPECT_FALSE(panel.GetHandlesRegion().IsEmpty());

  // Output painting draws no handles and no background.
  WhiteImage out(400, 300);
  panel.PaintDocument(*out.canvas, {0, 0, 400, 300}, true, true, true, false, false, true, nullptr, 100, {-100, -100});
  ExpectProbes(out, {{144, 114, kWhite}, {50, 50, kWhite}, {99, 150, kWhite}, {303, 150, kWhite}, {150, 150, kWhite}},
               "output");
}

TEST_F(PanelPaint, TheRubberBandIsADottedFrameAndNothingWhenThin) {
  panel.SetRubberBand({20000, 20000, 80000, 80000});  // client (120, 120) - (180, 180)
  PaintWindow();
  EXPECT_GT(NonWhiteOnRow(120, 120, 180), 20);
  EXPECT_EQ(0, NonWhiteOnRow(150, 125, 175));
  EXPECT_EQ(kGreen, image.At(50, 50));
  EXPECT_EQ(kWhite, image.At(110, 110));

  // Setting a band repaints the old and the new area.
  window.invalidated.clear();
  panel.SetRubberBand({20000, 20000, 80000, 80000});
  EXPECT_TRUE(window.invalidated.empty());
  panel.SetRubberBand({20000, 20000, 20001, 80000});
  ASSERT_EQ(2u, window.invalidated.size());
  EXPECT_EQ(TRect(119, 119, 181, 181), window.invalidated[0]);
  PaintWindow();
  EXPECT_EQ(0, NonWhiteOnRow(120, 115, 185)) << "a band under 2 units wide is not drawn";
  // Dragged up and left, the band is drawn all the same.
  panel.SetRubberBand({80000, 80000, 20000, 20000});
  PaintWindow();
  EXPECT_GT(NonWhiteOnRow(120, 120, 180), 20);
}

struct ViewerPaint : PanelPaint {
  ViewerPaint() : PanelPaint(false) {}
};

TEST_F(ViewerPaint, AViewerShowsNoHandlesButTheRubberBand) {
  panel.SelectOne(Box(Scheme(), {50000, 20000, 100000, 60000}));
  panel.SetRubberBand({20000, 70000, 80000, 90000});
  PaintWindow();
  EXPECT_EQ(kWhite, image.At(144, 114));
  EXPECT_GT(NonWhiteOnRow(170, 120, 180), 20);
}

TEST_F(PanelPaint, NestedPaintingPutsTheOuterStateBack) {
  int nested = 0;
  TRect before{};
  TRect after{};
  int32_t scaleAfter = 0;
  panel.OnPaintOver = [&](TVexaPanel& p, canvas::Canvas&, TVexaControl*, bool, bool) {
    if (nested++ > 0) return;
    before = p.PaintRect();
    WhiteImage inner(50, 50);
    p.PaintDocument(*inner.canvas, {0, 0, 50, 50}, true, true, true, false, false, true, nullptr, 50, {0, 0});
    EXPECT_EQ(1, p.PaintList().Depth());
    after = p.PaintRect();
    scaleAfter = p.GetScale();
  };
  PaintWindow();
  EXPECT_EQ(2, nested);
  EXPECT_EQ(TRect(0, 0, 400, 300), before);
  EXPECT_EQ(before, after);
  EXPECT_EQ(100, scaleAfter);
  EXPECT_EQ(0, panel.PaintList().Depth());
  EXPECT_EQ(TPoint(-100, -100), panel.ScrollOrigin());
  EXPECT_FALSE(panel.CustomPainting());
  // The outer paint carried on after the nested one: the frame is there.
  EXPECT_EQ(kBlack, image.At(99, 150));
}

TEST_F(PanelPaint, SpaceFillCoversTheBandsAroundTheDocument) {
  panel.SetDocSpaceFill(true);
  panel.SetDocSpaceBrush({canvas::BrushStyle::Solid, kRed, nullptr});
  PaintWindow();
  ExpectProbes(image, {{50, 50, kRed}, {350, 150, kRed}, {150, 250, kRed}, {150, 150, kWhite}}, "space fill");
}

}  // namespace
}  // namespace pv::graphics
