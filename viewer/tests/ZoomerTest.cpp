#include <gtest/gtest.h>

#include <cmath>

#include <QMouseEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QToolButton>

#include "ThinkboxWindow.h"
#include "forms/Dialogs.h"
#include "Zoomer.h"
#include "forms/tests/QtTestApp.h"
#include "timer/TimerHost.h"

PV_QT_TEST_APPLICATION();

namespace pv::viewer {
namespace {

class ZoomPanelTest : public ::testing::Test {
 protected:
  ZoomPanelTest() {
    forms::InstallTimerHost(&clock);
    panel.resize(500, 400);
    panel.show();
    panel.OnPaint = [this](QObject*) {
      ++paints;
      // One red line across the world rectangle's diagonal.
      canvas::Canvas& c = panel.PaintBox().Canvas();
      c.SetPen(canvas::Pen{canvas::PenStyle::Solid, 1, canvas::clRed, canvas::PenMode::Copy});
      const canvas::TPoint a = Zoom_panel::WorldToScreen(&panel, {0, 0, 0}, nullptr);
      const canvas::TPoint b = Zoom_panel::WorldToScreen(&panel, {100, 100, 0}, nullptr);
      c.MoveTo(a.x, a.y);
      c.LineTo(b.x, b.y);
    };
  }
  ~ZoomPanelTest() override { forms::InstallTimerHost(nullptr); }

  void SetUpWindow() {
    panel.SetWindow(20, 20, {0, 0, 100, 100});
    panel.Repaint();
  }

  void Mouse(QWidget* target, QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(x, y), target->mapToGlobal(QPointF(x, y)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, modifiers);
    QCoreApplication::sendEvent(target, &event);
  }

  void Press(Zoom_panel::Button b) {
    QToolButton* button = panel.ButtonWidget(b);
    Mouse(button, QEvent::MouseButtonPress, 3, 3);
  }
  void Release(Zoom_panel::Button b) {
    QToolButton* button = panel.ButtonWidget(b);
    Mouse(button, QEvent::MouseButtonRelease, 3, 3);
  }
  double Scale() const { return panel.Views().Current().scaleX; }

  pv::timer::ManualTimerHost clock;
  Zoom_panel panel;
  int paints = 0;
};

TEST_F(ZoomPanelTest, ButtonsAndDoubleClickDoNothingBeforeTheWindowIsSet) {
  Press(Zoom_panel::Button::ZPlus);
  clock.Advance(1000);
  Release(Zoom_panel::Button::ZPlus);
  panel.ButtonWidget(Zoom_panel::Button::ZReset)->click();
  Mouse(&panel.PaintBox(), QEvent::MouseButtonDblClick, 10, 10);
  EXPECT_FALSE(panel.Views().WindowSet());
  EXPECT_EQ(panel.RatioCaption(), "1 : 1");
  Mouse(&panel.PaintBox(), QEvent::MouseMove, 30, 30);
  EXPECT_EQ(panel.CoordinateCaption(), "X= 0.000  Y= 0.000");
}

TEST_F(ZoomPanelTest, HoldingZoomInRepeatsAfterHalfASecondThenEvery25Ms) {
  SetUpWindow();
  const double start = Scale();
  int zoomIns = 0;
  panel.OnZoomin = [&] { ++zoomIns; };
  Press(Zoom_panel::Button::ZPlus);
  EXPECT_EQ(zoomIns, 1);  // at once, on mouse-down
  clock.Advance(499);
  EXPECT_EQ(zoomIns, 1);
  clock.Advance(1);
  EXPECT_EQ(zoomIns, 2);
  clock.Advance(25);
  EXPECT_EQ(zoomIns, 3);
  clock.Advance(50);
  EXPECT_EQ(zoomIns, 5);
  Release(Zoom_panel::Button::ZPlus);
  clock.Advance(1000);
  EXPECT_EQ(zoomIns, 5);
  EXPECT_NEAR(Scale(), start * std::pow(1.25, 5), 1e-9);

  int zoomOuts = 0;
  panel.OnZoomout = [&] { ++zoomOuts; };
  for (int i = 0; i < 5; ++i) {
    Press(Zoom_panel::Button::ZMinus);
    Release(Zoom_panel::Button::ZMinus);
  }
  EXPECT_EQ(zoomOuts, 5);
  EXPECT_NEAR(Scale(), start, 1e-9);
  EXPECT_EQ(panel.RatioCaption(), "1 : 1");
}

TEST_F(ZoomPanelTest, ResetThenLastViewComesBackToTheViewBeforeTheReset) {
  SetUpWindow();
  Press(Zoom_panel::Button::ZPlus);
  Release(Zoom_panel::Button::ZPlus);
  EXPECT_EQ(panel.RatioCaption(), "1.25 : 1");
  const Zoom_view zoomed = panel.Views().Current();
  int resets = 0;
  panel.OnZoomreset = [&] { ++resets; };
  panel.ButtonWidget(Zoom_panel::Button::ZReset)->click();
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(panel.RatioCaption(), "1 : 1");
  panel.ButtonWidget(Zoom_panel::Button::ZLast)->click();
  EXPECT_EQ(panel.Views().Current(), zoomed);
  panel.ButtonWidget(Zoom_panel::Button::ZLast)->click();
  EXPECT_EQ(panel.Views().Current(), zoomed);
}

TEST_F(ZoomPanelTest, RubberBandZoomsToItsRectangleAndLeavesNoTrace) {
  SetUpWindow();
  const QImage before = panel.PaintBox().Picture().copy();
  int downs = 0, ups = 0;
  panel.OnMouseDown = [&](forms::TMouseButton, forms::TShiftState, int, int) { ++downs; };
  panel.OnMouseUp = [&](forms::TMouseButton, forms::TShiftState, int, int) { ++ups; };
  QWidget* box = &panel.PaintBox();
  // Too narrow: 2 x 50 pixels do not zoom, and the band is gone afterwards.
  Mouse(box, QEvent::MouseButtonPress, 100, 100);
  Mouse(box, QEvent::MouseMove, 102, 150);
  EXPECT_NE(panel.PaintBox().Picture(), before);  // the band shows while dragging
  Mouse(box, QEvent::MouseButtonRelease, 102, 150);
  EXPECT_EQ(panel.PaintBox().Picture(), before);
  EXPECT_EQ(panel.RatioCaption(), "1 : 1");

  const Point3D upperLeft = panel.ScreenToWorld(100, 100);
  const Point3D lowerRight = panel.ScreenToWorld(200, 180);
  Mouse(box, QEvent::MouseButtonPress, 100, 100);
  Mouse(box, QEvent::MouseMove, 150, 150);
  Mouse(box, QEvent::MouseMove, 200, 180);
  EXPECT_EQ(panel.CoordinateCaption().toStdString(), CoordinateText(lowerRight));
  Mouse(box, QEvent::MouseButtonRelease, 200, 180);
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(ups, 2);
  // The rectangle's middle is now the middle of the paint box.
  const canvas::TPoint middle = Zoom_panel::WorldToScreen(
      &panel, {(upperLeft.x + lowerRight.x) / 2, (upperLeft.y + lowerRight.y) / 2, 0}, nullptr);
  EXPECT_NEAR(middle.x, panel.PaintBox().Width() / 2, 1);
  EXPECT_NEAR(middle.y, panel.PaintBox().Height() / 2, 1);
  EXPECT_NE(panel.RatioCaption(), "1 : 1");
}

TEST_F(ZoomPanelTest, ThePaintedLineIsWhereTheMappingSays) {
  SetUpWindow();
  const canvas::TPoint p = Zoom_panel::WorldToScreen(&panel, {50, 50, 0}, nullptr);
  EXPECT_EQ(panel.PaintBox().Picture().pixel(p.x, p.y), qRgb(255, 0, 0));
  const canvas::TPoint off = Zoom_panel::WorldToScreen(&panel, {50, 60, 0}, nullptr);
  EXPECT_NE(panel.PaintBox().Picture().pixel(off.x, off.y), qRgb(255, 0, 0));
}

TEST_F(ZoomPanelTest, DoubleClickRecentresAndScrollBarsPan) {
  SetUpWindow();
  QWidget* box = &panel.PaintBox();
  const Point3D target = panel.ScreenToWorld(100, 80);
  Mouse(box, QEvent::MouseButtonPress, 100, 80);
  Mouse(box, QEvent::MouseButtonRelease, 100, 80);
  Mouse(box, QEvent::MouseButtonDblClick, 100, 80);
  Mouse(box, QEvent::MouseButtonRelease, 100, 80);
  EXPECT_DOUBLE_EQ(panel.Views().Current().centreX, target.x);
  EXPECT_DOUBLE_EQ(panel.Views().Current().centreY, target.y);
  EXPECT_LT(panel.HorizontalBar()->value(), 500);

  // A page step right moves the centre by round(e - e / 12) of the fitted width.
  panel.ZoomBy(0.25);
  const double x = panel.Views().Current().centreX;
  const int page = panel.HorizontalBar()->pageStep();
  ASSERT_EQ(page, 250);
  ASSERT_LE(panel.HorizontalBar()->value() + page, 1000);
  panel.HorizontalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  const double width = panel.Views().Reset().right - panel.Views().Reset().left;
  const double e = page * width / 1000;
  EXPECT_NEAR(panel.Views().Current().centreX, x + std::nearbyint(e - e / 12), 1e-9);
  // A line step down moves the centre down by one world unit.
  const double y = panel.Views().Current().centreY;
  panel.VerticalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_DOUBLE_EQ(panel.Views().Current().centreY, y - 1);
}

TEST_F(ZoomPanelTest, AHeldZoomButtonStopsWhenThePictureCannotBePainted) {
  SetUpWindow();
  forms::ScriptedDialogs dialogs;
  // Past some zoom the far end of the line leaves the integer range and painting fails.
  panel.OnPaint = [this](QObject*) {
    if (panel.Views().Current().scaleX > 1e3) Zoom_panel::WorldToScreen(&panel, {1e7, 0, 0}, nullptr);
  };
  std::vector<bool> repeating;
  dialogs.onShow = [&](const forms::ScriptedDialogs::Shown&) {
    repeating.push_back(panel.RepeatTimer().Enabled());
    clock.Advance(1000);  // the box's loop runs the timers
  };
  Press(Zoom_panel::Button::ZPlus);
  clock.Advance(500 + 25 * 100);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_FALSE(repeating[0]);
  clock.Advance(5000);
  EXPECT_EQ(dialogs.shown.size(), 1u);
  Release(Zoom_panel::Button::ZPlus);
}

TEST(ThinkingBox, SizesItselfByTheMessageAndShowsTheBarWhenAsked) {
  TThinking_box box;
  EXPECT_EQ(box.Message().toStdString(), std::string(kThinkingInitialCaption));
  const canvas::TSize ch = box.CharSize();
  ASSERT_GT(ch.cx, 0);
  const canvas::TRect area{100, 100, 900, 700};
  box.ShowThinking(&area, "Saving data");
  EXPECT_TRUE(box.isVisible());
  EXPECT_FALSE(box.BarVisible());
  EXPECT_EQ(box.width(), 11 * ch.cx + 12);
  EXPECT_EQ(box.height(), ch.cy + 6);
  EXPECT_EQ(box.x(), 100 + (800 - box.width()) / 2);
  box.ShowThinkingWithBar(&area, "Reading DXF file...");
  EXPECT_TRUE(box.BarVisible());
  EXPECT_EQ(box.height(), ch.cy + 30);
  EXPECT_EQ(box.Message(), "Reading DXF file...");
  box.SetBar(0, 3);
  box.StepBar();
  box.StepBar();
  EXPECT_EQ(box.Bar()->value(), 2);
  box.HideThinking();
  EXPECT_FALSE(box.isVisible());
}

}  // namespace
}  // namespace pv::viewer
