// The panel in the Qt scroll area, on the offscreen platform: it paints the document, its
// scroll bars follow the panel's ranges and move its origin, and the cache only grows.

#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>

#include "forms/Cursors.h"
#include "forms/tests/QtTestApp.h"
#include "panel/VexaPanel.h"
#include "panelwindow/QtPanelWindow.h"
#include "qtcanvas/QtCanvas.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaBox.h"

PV_QT_TEST_APPLICATION();

namespace pv::graphics {
namespace {

using panelwindow::TScrollBarKind;

struct PanelWindow : ::testing::Test {
  PanelWindow() {
    RegisterShapeClasses();
    qtcanvas::RegisterBitmapCanvasFactory();
    window.setFrameShape(QFrame::NoFrame);
    window.resize(400, 300);
    window.show();
    panel = std::make_unique<TVexaPanel>(window, true);
    panel->Color = 0x00FF00;
  }
  ~PanelWindow() override { panel.reset(); }
  // What the viewport shows, painted through the panel.
  QImage Shot() {
    QApplication::processEvents();
    return window.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  static QRgb Rgb(uint32_t bgr) { return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

  panelwindow::TQtPanelWindow window;
  std::unique_ptr<TVexaPanel> panel;
};

TEST_F(PanelWindow, PaintsTheDocumentWithItsControlsIntoTheViewport) {
  panel->SetDocWidth(200000);
  panel->SetDocHeight(100000);
  auto* box = TVexaControl::New<TVexaBox>(panel.get(), panel->GetActiveScheme(), panel->GetActiveLayer());
  box->SetDocRect({20000, 20000, 80000, 60000});
  box->Pen().SetColor(canvas::clBlack);
  box->Brush().SetColor(canvas::clRed);
  ASSERT_EQ(TRect(0, 0, 400, 300), window.ClientRect());
  EXPECT_FALSE(window.ScrollBarVisible(TScrollBarKind::Horizontal));
  ASSERT_EQ(TPoint(-100, -100), panel->ScrollOrigin());

  const QImage shot = Shot();
  EXPECT_EQ(Rgb(0x00FF00), shot.pixel(50, 50));          // window colour
  EXPECT_EQ(Rgb(0x000000), shot.pixel(99, 150));         // frame
  EXPECT_EQ(Rgb(0x808080), shot.pixel(303, 150));        // shadow
  EXPECT_EQ(Rgb(0xFFFFFF), shot.pixel(250, 150));        // page
  EXPECT_EQ(Rgb(canvas::clRed), shot.pixel(150, 140));   // the box
  EXPECT_GE(window.CacheSize().width(), 400);
  EXPECT_GE(window.CacheSize().height(), 300);
}

TEST_F(PanelWindow, ScrollBarsFollowTheScrollModelAndMoveTheOrigin) {
  panel->SetDocWidth(1000000);
  panel->SetDocHeight(500000);
  QApplication::processEvents();  // the bars take their place
  EXPECT_TRUE(window.ScrollBarVisible(TScrollBarKind::Horizontal));
  EXPECT_TRUE(window.ScrollBarVisible(TScrollBarKind::Vertical));
  const TRect client = window.ClientRect();
  EXPECT_EQ(1000 - RectWidth(client), window.horizontalScrollBar()->maximum());

  // The user drags the bars: the panel's origin follows.
  window.horizontalScrollBar()->setValue(120);
  window.verticalScrollBar()->setValue(40);
  EXPECT_EQ(TPoint(120, 40), panel->ScrollOrigin());
  // The panel sets a position: the bar clamps it to the range.
  window.SetScrollPos(TScrollBarKind::Horizontal, 1 << 20);
  EXPECT_EQ(window.horizontalScrollBar()->maximum(), window.ScrollPos(TScrollBarKind::Horizontal));

  // Scrolled to the far right the frame's right edge is in view.
  window.horizontalScrollBar()->setValue(0);
  window.horizontalScrollBar()->setValue(window.horizontalScrollBar()->maximum());
  const QImage shot = Shot();
  ASSERT_EQ(RectWidth(client), shot.width());
  EXPECT_EQ(Rgb(0xFFFFFF), shot.pixel(RectWidth(client) - 2, 10));
  EXPECT_EQ(1000 - RectWidth(client), panel->ScrollOrigin().x);
}

TEST_F(PanelWindow, TheCacheOnlyGrowsAndCursorsComeFromTheScreenTable) {
  window.resize(200, 150);
  Shot();
  const QSize small = window.CacheSize();
  window.resize(500, 400);
  Shot();
  const QSize large = window.CacheSize();
  EXPECT_GE(large.width(), RectWidth(window.ClientRect()));
  EXPECT_GE(large.height(), RectHeight(window.ClientRect()));
  EXPECT_GT(large.width(), small.width());
  window.resize(300, 200);
  Shot();
  EXPECT_EQ(large, window.CacheSize());

  window.SetCursor(3);
  EXPECT_EQ(3, window.CursorIndex());
  EXPECT_EQ(forms::ScreenCursors().Get(3).shape(), window.viewport()->cursor().shape());
}

}  // namespace
}  // namespace pv::graphics
