// The panel in the Qt scroll area driven by synthetic Qt mouse, key, focus and hide events
// on the offscreen platform, as a user drives it: zoom, selection, a move as one undo step,
// the handles and the band on screen, cursors and tips, and a release that a popup took.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "forms/CursorIds.h"
#include "forms/Cursors.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panel/tests/QtPanelFixture.h"
#include "panel/tests/SavedText.h"
#include "panelwindow/QtPanelWindow.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "qtcanvas/QtCanvas.h"
#include "shapes/VexaBox.h"

namespace pv::graphics {
namespace {

struct PanelMouseQt : ::testing::Test, test::QtPanelFixture {
  PanelMouseQt() {
    panel->Color = 0x00FF00;
    a = Box({10000, 10000, 50000, 40000}, "a");
    b = Box({100000, 10000, 140000, 40000}, "b");
  }

  TVexaBox* Box(const TRect& r, const char* name) {
    auto* box = TVexaControl::New<TVexaBox>(panel.get(), panel->GetActiveScheme(), panel->GetActiveLayer());
    box->SetVisible(true);
    box->SetDocRect(r);
    box->SetName(name);
    box->Pen().SetColor(canvas::clBlack);
    box->Brush().SetStyle(canvas::BrushStyle::Solid);
    box->Brush().SetColor(canvas::clRed);
    return box;
  }
  QPoint Px(int32_t x, int32_t y) const {
    const TPoint p = panel->DocToPixelPoint({x, y});
    return {p.x, p.y};
  }
  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(p), QPointF(window.viewport()->mapToGlobal(p)), button, buttons, modifiers);
    QApplication::sendEvent(window.viewport(), &event);
  }
  void Press(QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, p, button, button, modifiers);
  }
  void Move(QPoint p, Qt::MouseButtons buttons = Qt::LeftButton, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Mouse(QEvent::MouseMove, p, Qt::NoButton, buttons, modifiers);
  }
  void Release(QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonRelease, p, button, Qt::NoButton, modifiers);
  }
  void Click(QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Press(p, modifiers);
    Release(p, modifiers);
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(&window, &release);
  }
  std::string SaveText() { return test::SavedText(*panel); }

  TVexaBox* a;
  TVexaBox* b;
};

TEST_F(PanelMouseQt, ZoomByClickCtrlClickAndAQuarterOfTheWindow) {
  panel->SetToolMode(2);
  EXPECT_EQ(forms::ScreenCursors().Get(forms::crZoomIn).pixmap().toImage(),
            window.viewport()->cursor().pixmap().toImage());
  Click({200, 150});
  EXPECT_EQ(200, panel->GetScale());
  panel->SetScale(100);
  Click({200, 150}, Qt::ControlModifier);
  EXPECT_EQ(50, panel->GetScale());
  EXPECT_EQ(forms::crZoomOut, window.CursorIndex());
  panel->SetScale(100);
  const QPoint from = Px(20000, 20000);
  Press(from);
  Move(from + QPoint(50, 40));
  Move(from + QPoint(100, 75));
  Release(from + QPoint(100, 75));
  EXPECT_EQ(400, panel->GetScale());
  // The second press of a double click starts nothing: one zoom step only.
  panel->SetScale(100);
  Click({200, 150});
  Mouse(QEvent::MouseButtonDblClick, {200, 150}, Qt::LeftButton, Qt::LeftButton);
  Release({200, 150});
  EXPECT_EQ(200, panel->GetScale());
  EXPECT_EQ(2, panel->GetToolMode());
}

TEST_F(PanelMouseQt, ClickShiftBandAndAMoveThatIsOneUndoStep) {
  TVexaPanelHistory& history = panel->PanelHistory();
  history.SetActive(true);
  history.Clear();
  Click(Px(20000, 20000));
  ASSERT_EQ(1, panel->SelectedCount());
  EXPECT_EQ(a, panel->Selected(0));
  Click(Px(110000, 20000), Qt::ShiftModifier);
  EXPECT_EQ(2, panel->SelectedCount());
  Click(Px(200000, 200000));
  EXPECT_EQ(0, panel->SelectedCount());
  Press(Px(5000, 5000));
  Move(Px(80000, 30000));
  Move(Px(150000, 50000));
  // The band shows while dragged: the focus rectangle's dots along its top edge on the white
  // page; gone after the release.
  const auto dotsOnTopEdge = [&] {
    const QImage shot = Shot();
    const QPoint corner = Px(5000, 5000);
    int dots = 0;
    for (int x = corner.x() + 20; x < corner.x() + 40; ++x) dots += shot.pixel(x, corner.y()) != qRgb(0xFF, 0xFF, 0xFF);
    return dots;
  };
  EXPECT_GE(dotsOnTopEdge(), 5);
  Release(Px(150000, 50000));
  EXPECT_EQ(2, panel->SelectedCount());
  EXPECT_EQ(0, dotsOnTopEdge());

  const std::string before = SaveText();
  Press(Px(20000, 20000));
  Move(Px(30000, 25000));
  Move(Px(40000, 30000));
  Release(Px(40000, 30000));
  EXPECT_EQ(TRect(30000, 20000, 70000, 50000), a->GetDocRect());
  EXPECT_EQ(TRect(120000, 20000, 160000, 50000), b->GetDocRect());
  const std::string after = SaveText();
  ASSERT_EQ(0, history.ActionIndex());
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(before, SaveText());
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(after, SaveText());
}

TEST_F(PanelMouseQt, HandlesShowOnScreenAndTakeTheMouse) {
  Click(Px(20000, 20000));
  const TRect r = a->GetPixelRect();
  const QImage shot = Shot();
  // The top-left handle inverts the white page; just outside it the page stays white.
  EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(r.left - 6, r.top - 6));
  EXPECT_EQ(qRgb(0xFF, 0xFF, 0xFF), shot.pixel(r.left - 10, r.top - 10));
  EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(r.right + 6, r.bottom + 6));
  Move({r.left - 7, r.top - 7}, Qt::NoButton);
  EXPECT_EQ(6, panel->GetToolMode());
  EXPECT_EQ(Qt::SizeFDiagCursor, window.viewport()->cursor().shape());
  Move({(r.left + r.right) / 2, r.bottom + 7}, Qt::NoButton);
  EXPECT_EQ(7, panel->HandleUnderMouse());
  EXPECT_EQ(Qt::SizeVerCursor, window.viewport()->cursor().shape());
}

// A context menu opened on the press takes the release with it: what arrives instead is a
// move without the button, a focus-out to the popup, or the window being hidden.
TEST_F(PanelMouseQt, AReleaseThatAPopupTookEndsTheGesture) {
  TVexaPanelHistory& history = panel->PanelHistory();
  history.SetActive(true);
  struct Case {
    const char* what;
    std::function<void(PanelMouseQt&)> lose;
  };
  const std::vector<Case> cases{
      {"move without the button", [](PanelMouseQt& t) { t.Move(t.Px(90000, 90000), Qt::NoButton); }},
      {"focus out to a popup",
       [](PanelMouseQt& t) {
         QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
         QApplication::sendEvent(&t.window, &out);
       }},
      {"hidden",
       [](PanelMouseQt& t) {
         t.window.hide();
         t.window.show();
       }},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.what);
    a->SetDocRect({10000, 10000, 50000, 40000});
    history.Clear();
    Press(Px(20000, 20000), Qt::NoModifier, Qt::RightButton);
    Move(Px(25000, 20000), Qt::RightButton);
    ASSERT_EQ(5, panel->GetToolMode());
    row.lose(*this);
    EXPECT_EQ(0, panel->GetToolMode());
    EXPECT_EQ(nullptr, history.OpenGroup());
    Move(Px(60000, 60000), Qt::NoButton);
    EXPECT_EQ(TRect(15000, 10000, 55000, 40000), a->GetDocRect());
  }
}

TEST_F(PanelMouseQt, KeysAndTips) {
  window.activateWindow();
  Click(Px(20000, 20000));
  EXPECT_TRUE(window.hasFocus()) << "a click takes the focus";
  Key(Qt::Key_Right);
  EXPECT_EQ(TRect(11000, 10000, 51000, 40000), a->GetDocRect());
  EXPECT_EQ(0, window.horizontalScrollBar()->value()) << "the key moved the selection, not the view";
  Key(Qt::Key_Delete);
  EXPECT_EQ(1, panel->GetActiveScheme()->GetCount());

  b->Hint().SetText("the b box");
  Move(Px(110000, 20000), Qt::NoButton);
  EXPECT_EQ(QString("the b box"), window.ToolTip());
  Move(Px(200000, 200000), Qt::NoButton);
  EXPECT_TRUE(window.ToolTip().isEmpty());
}

}  // namespace
}  // namespace pv::graphics
