// Resizing and point editing in the Qt scroll area, driven by synthetic Qt mouse events on the
// offscreen platform: a handle dragged past the opposite edge mirrors the box on screen, and
// the point tool's markers show, take the mouse and drag a point as one undo step.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "forms/Cursors.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panel/tests/QtPanelFixture.h"
#include "panelwindow/QtPanelWindow.h"
#include "paths/PathTypes.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "qtcanvas/QtCanvas.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {
namespace {

struct PanelEditQt : ::testing::Test, test::QtPanelFixture {
  PanelEditQt() { panel->PanelHistory().SetActive(true); }

  QPoint Px(int32_t x, int32_t y) const {
    const TPoint p = panel->DocToPixelPoint({x, y});
    return {p.x, p.y};
  }
  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(p), QPointF(window.viewport()->mapToGlobal(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(window.viewport(), &event);
  }
  void Drag(QPoint from, QPoint to) {
    Mouse(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  }
};

TEST_F(PanelEditQt, ARightHandleDraggedPastTheLeftEdgeMirrorsTheBoxOnScreen) {
  auto* box = TVexaControl::New<TVexaBox>(panel.get(), panel->GetActiveScheme(), panel->GetActiveLayer());
  box->SetVisible(true);
  box->SetDocRect({60000, 20000, 100000, 60000});
  box->Brush().SetStyle(canvas::BrushStyle::Solid);
  box->Brush().SetColor(canvas::clRed);
  ASSERT_TRUE(panel->Select(box));
  const TRect r = box->GetPixelRect();
  // The right handle (the middle of the right edge, 5 pixels out) goes 60 pixels left: 20
  // pixels past the left edge, and one more as a drag to the left takes no extra pixel.
  const QPoint handle{r.right + 5, (r.top + r.bottom) / 2};
  Drag(handle, handle - QPoint(60, 0));
  EXPECT_EQ((TRect{40000, 20000, 60000, 60000}), box->GetDocRect());
  EXPECT_EQ(0, panel->GetToolMode());
  const QImage shot = Shot();
  const QPoint inside = Px(50000, 40000);
  const QPoint before = Px(80000, 40000);
  EXPECT_EQ(qRgb(0xFF, 0, 0), shot.pixel(inside));
  EXPECT_EQ(qRgb(0xFF, 0xFF, 0xFF), shot.pixel(before));
  ASSERT_TRUE(panel->PanelHistory().Undo());
  EXPECT_EQ((TRect{60000, 20000, 100000, 60000}), box->GetDocRect());
}

TEST_F(PanelEditQt, MarkersShowAndAPointDragsAsOneStep) {
  auto* curve = TVexaControl::New<TVexaCurve>(panel.get(), panel->GetActiveScheme(), panel->GetActiveLayer());
  curve->SetVisible(true);
  curve->SetPointsEx({{0, 0}, {40000, 0}, {40000, 40000}}, {ptNode, ptNode, ptEndNode});
  curve->SetDocRect({20000, 20000, 60000, 60000});
  ASSERT_TRUE(panel->Select(curve));
  panel->SetToolMode(9);
  panel->SelectPoint(1, true);
  const QImage shot = Shot();
  const QPoint first = Px(20000, 20000);
  const QPoint second = Px(60000, 20000);
  // An unselected marker is a black outline (its corner off the path); a selected one is
  // inverted, black where the white page was.
  EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(first + QPoint(-2, -2)));
  EXPECT_EQ(qRgb(0xFF, 0xFF, 0xFF), shot.pixel(first + QPoint(-1, -1)));
  EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(second + QPoint(-1, -1)));
  panel->PanelHistory().Clear();
  Drag(second, second + QPoint(20, 10));
  EXPECT_EQ((TPoint{60000, 10000}), curve->GetPoint(1));
  EXPECT_EQ((TRect{20000, 20000, 80000, 60000}), curve->GetDocRect());
  EXPECT_EQ(1, panel->PanelHistory().Count());
  EXPECT_EQ(9, panel->GetToolMode());
  EXPECT_EQ(forms::crShapeMove, panel->Cursor());
}

}  // namespace
}  // namespace pv::graphics
