#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <stdexcept>

#include "forms/Clipboard.h"
#include "forms/Dialogs.h"
#include "forms/Handlers.h"
#include "forms/PaintBox.h"
#include "forms/Timer.h"
#include "forms/tests/QtTestApp.h"

using namespace pv::forms;
using namespace pv::canvas;

namespace {

PV_QT_TEST_APPLICATION();

constexpr const char* kDxfFilter =
    "DXF databases (*.dxf)|*.dxf|Geomview file (*.off)|*.off|Vertex/Face array offset 1 (*.geo)|*.geo";

TEST(Dialogs, PlatformFiltersBecomeQtNameFiltersAndBack) {
  const auto filters = SplitFilter(kDxfFilter);
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[0], "DXF databases (*.dxf)");
  EXPECT_EQ(filters[2], "Vertex/Face array offset 1 (*.geo)");
  EXPECT_EQ(SplitFilter("Pictures|*.bmp;*.jpg")[0], "Pictures (*.bmp *.jpg)");
  EXPECT_EQ(FilterIndexOf(kDxfFilter, "Geomview file (*.off)"), 2);
  EXPECT_EQ(FilterIndexOf(kDxfFilter, "something else"), 1);
  EXPECT_TRUE(SplitFilter("").empty());
}

TEST(Dialogs, ScriptedServiceAnswersAndRecordsWhileInstalled) {
  DialogService* qt = &Dialogs();
  {
    ScriptedDialogs dialogs;
    EXPECT_EQ(&Dialogs(), &dialogs);
    dialogs.answers.push_back(MsgResult::Cancel);
    EXPECT_EQ(Dialogs().MessageBox(nullptr, "T", "first", MsgType::Warning, MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(Dialogs().MessageBox(nullptr, "T", "second", MsgType::Plain, MsgButtons::Ok), MsgResult::Ok);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, "first");
    EXPECT_EQ(dialogs.shown[0].buttons, MsgButtons::OkCancel);

    FileDialogRequest request;
    request.filter = kDxfFilter;
    EXPECT_FALSE(Dialogs().OpenFile(nullptr, request).has_value());  // nothing queued: cancelled
    dialogs.openAnswers.push_back(FileDialogResult{"/tmp/a.dxf", 1});
    EXPECT_EQ(Dialogs().OpenFile(nullptr, request)->fileName, "/tmp/a.dxf");
    EXPECT_EQ(dialogs.openRequests.size(), 2u);
  }
  EXPECT_EQ(&Dialogs(), qt);
}

TEST(Handlers, GuardedShowsWhatAHandlerThrowsAndGoesOn) {
  ScriptedDialogs dialogs;
  bool ranAfter = false;
  Guarded(nullptr, [] { throw std::runtime_error("Block reference X not found"); });
  Guarded(nullptr, [] { throw 42; });
  Guarded(nullptr, [&] { ranAfter = true; });
  EXPECT_TRUE(ranAfter);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, "Block reference X not found");
  EXPECT_EQ(dialogs.shown[0].type, MsgType::Error);
  EXPECT_EQ(dialogs.shown[1].text, "Unknown error");
}

TEST(TTimer, TicksOnTheInstalledClockWhileEnabled) {
  pv::timer::ManualTimerHost clock;
  InstallTimerHost(&clock);
  int ticks = 0;
  {
    TTimer timer(100);
    timer.OnTimer = [&] { ++ticks; };
    clock.Advance(500);
    EXPECT_EQ(ticks, 0);  // created disabled
    timer.SetEnabled(true);
    clock.Advance(250);
    EXPECT_EQ(ticks, 2);
    timer.SetEnabled(true);  // enabling again starts the interval again
    clock.Advance(90);
    EXPECT_EQ(ticks, 2);
    clock.Advance(10);
    EXPECT_EQ(ticks, 3);
    timer.SetInterval(25);
    clock.Advance(100);
    EXPECT_EQ(ticks, 7);
    // A one-shot: the handler disables its own timer.
    timer.OnTimer = [&] {
      ++ticks;
      timer.SetEnabled(false);
    };
    clock.Advance(1000);
    EXPECT_EQ(ticks, 8);
    EXPECT_FALSE(timer.Enabled());
    timer.SetEnabled(true);
  }
  clock.Advance(1000);  // a destroyed timer stops
  EXPECT_EQ(ticks, 8);
  InstallTimerHost(nullptr);
}

TEST(Clipboard, PictureGoesOutAsSvgAndPng) {
  RecordingCanvas record;
  record.SetPen(Pen{PenStyle::Solid, 1, clRed, PenMode::Copy});
  record.MoveTo(2, 10);
  record.LineTo(30, 10);
  const QImage png = RenderPicture(record.Commands(), {40, 20});
  EXPECT_EQ(png.size(), QSize(40, 20));
  EXPECT_EQ(png.pixel(15, 10), qRgb(255, 0, 0));
  EXPECT_EQ(png.pixel(15, 12), qRgb(255, 255, 255));

  const QByteArray svg = RenderSvg(record.Commands(), {40, 20});
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_TRUE(svg.contains("#ff0000"));

  CopyPictureToClipboard(record.Commands(), {40, 20});
  const QByteArray pasted = ClipboardData(kSvgMime);
  EXPECT_TRUE(pasted.contains("<svg"));

  SetClipboardData("application/x-private", "abc");
  EXPECT_EQ(ClipboardData("application/x-private"), "abc");
}

TEST(PaintBox, RepaintRunsOnPaintAndMouseEventsCarryShiftState) {
  TPaintBox box;
  box.resize(50, 30);
  int paints = 0;
  box.OnPaint = [&] {
    ++paints;
    box.Canvas().SetPixel(3, 4, clBlue);
  };
  box.Repaint();
  EXPECT_GE(paints, 1);
  EXPECT_EQ(box.Picture().pixel(3, 4), qRgb(0, 0, 255));
  EXPECT_EQ(box.Picture().size(), QSize(50, 30));

  TShiftState downShift = 0;
  int downX = -1;
  box.OnMouseDown = [&](TMouseButton button, TShiftState shift, int x, int) {
    EXPECT_EQ(button, TMouseButton::mbLeft);
    downShift = shift;
    downX = x;
  };
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(7, 8), QPointF(7, 8), Qt::LeftButton, Qt::LeftButton,
                    Qt::ShiftModifier);
  QApplication::sendEvent(&box, &press);
  EXPECT_EQ(downX, 7);
  EXPECT_EQ(downShift, ssShift | ssLeft);

  // A handler that throws is reported, not let out into the event loop.
  ScriptedDialogs dialogs;
  box.OnMouseMove = [](TShiftState, int, int) { throw std::runtime_error("moving failed"); };
  QMouseEvent move(QEvent::MouseMove, QPointF(9, 9), QPointF(9, 9), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&box, &move);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "moving failed");
}

}  // namespace
