// The panel on Qt: copy and paste through the desktop's clipboard (our controls, an image Qt
// holds, an SVG drawing, UTF-8 text), and drags between two Qt panel windows played with
// synthetic drag events: a copy, a move that deletes in the source afterwards, a cancelled
// drag after a leave, the auto-drag started by mouse events, and another program's bytes of
// our format.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>

#include "base/ModelText.h"
#include "clipboard/MemoryClipboard.h"
#include "clipboard/QtClipboard.h"
#include "forms/tests/QtTestApp.h"
#include "panel/tests/LinkedDocument.h"
#include "panel/tests/SavedText.h"
#include "panelwindow/QtPanelWindow.h"
#include "props/BrushProp.h"
#include "qtcanvas/QtCanvas.h"
#include "shapes/VexaPicture.h"
#include "shapes/VexaText.h"

PV_QT_TEST_APPLICATION();

namespace pv::graphics {
namespace {

TVexaControl* LastOf(const test::PanelFixture& f) {
  TVexaControl* scheme = f.Scheme();
  return scheme->GetChild(scheme->GetCount() - 1);
}

struct PanelQtClipboard : ::testing::Test, test::LinkedDocument {
  PanelQtClipboard() {
    qtcanvas::RegisterBitmapCanvasFactory();
    clipboard::SetSystemClipboard(&desktop);
  }
  ~PanelQtClipboard() override { clipboard::SetSystemClipboard(nullptr); }
  clipboard::TQtClipboard desktop;
};

TEST_F(PanelQtClipboard, OurControlsTravelThroughTheDesktopClipboard) {
  SelectOnly({a, b, link});
  ASSERT_TRUE(panel.CopyToClipboard());
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(nullptr, mime);
  EXPECT_TRUE(mime->hasFormat("application/x-vexagraphics-controls"));
  test::PanelFixture other;
  other.panel.PanelHistory().SetActive(true);
  const std::string before = other.SaveText();
  ASSERT_TRUE(other.panel.CanPaste(true));
  ASSERT_TRUE(other.panel.PasteFromClipboard());
  ASSERT_EQ(3, other.panel.SelectedCount());
  std::vector<TVexaControl*> pasted;
  for (int i = 0; i < 3; ++i) pasted.push_back(other.panel.Selected(i));
  EXPECT_TRUE(test::ConnectorsLinkTheirOwnBoxes(pasted));
  ASSERT_TRUE(other.panel.PanelHistory().Undo());
  EXPECT_EQ(before, other.SaveText());
}

TEST_F(PanelQtClipboard, AnImageAnSvgDrawingAndTextBecomeControls) {
  QImage image(30, 10, QImage::Format_RGB32);
  image.fill(qRgb(0, 0, 255));
  QGuiApplication::clipboard()->setImage(image);
  ASSERT_TRUE(panel.CanPaste(false));
  EXPECT_FALSE(panel.CanPaste(true));
  ASSERT_TRUE(panel.PasteFromClipboard());
  auto* pic = dynamic_cast<TVexaPicture*>(LastOf(*this));
  ASSERT_NE(nullptr, pic);
  EXPECT_EQ(30000, pic->GetWidth());
  EXPECT_EQ(10000, pic->GetHeight());

  auto* svg = new QMimeData;
  svg->setData("image/svg+xml",
               "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='12'>"
               "<rect width='24' height='12' fill='#00ff00'/></svg>");
  QGuiApplication::clipboard()->setMimeData(svg);
  ASSERT_TRUE(panel.CanPaste(false));
  ASSERT_TRUE(panel.PasteFromClipboard());
  pic = dynamic_cast<TVexaPicture*>(LastOf(*this));
  ASSERT_NE(nullptr, pic);
  EXPECT_EQ(24000, pic->GetWidth());
  EXPECT_EQ(12000, pic->GetHeight());

  const std::string utf8 = "\xd0\xa1\xd1\x85\xd0\xb5\xd0\xbc\xd0\xb0";
  QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8.c_str()));
  ASSERT_TRUE(panel.PasteFromClipboard());
  auto* text = dynamic_cast<TVexaText*>(LastOf(*this));
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(utf8, FromModelText(text->Text().GetText()));
  EXPECT_GT(text->GetWidth(), 0) << "sized to the text it measured";
  const TRect v = panel.VisibleDocRect();
  EXPECT_EQ((v.left + v.right - text->GetWidth()) / 2, text->GetLeft());
  EXPECT_EQ(3, panel.PanelHistory().Count());
}

// Two panels in Qt windows; the source's drags are played against the target's viewport.
struct PanelQtDrag : ::testing::Test, test::Registered {
  PanelQtDrag() {
    for (panelwindow::TQtPanelWindow* w : {&sourceWindow, &targetWindow}) {
      w->setFrameShape(QFrame::NoFrame);
      w->resize(400, 300);
    }
    source = std::make_unique<TVexaPanel>(sourceWindow, true);
    target = std::make_unique<TVexaPanel>(targetWindow, true);
    source->SetConnectorsMinGap(1000);
    a = Box({10000, 10000, 20000, 20000}, "a");
    b = Box({40000, 10000, 50000, 20000}, "b");
    link = TVexaControl::New<TVexaConnector>(source.get(), source->GetActiveScheme(), source->GetActiveLayer());
    link->SetName("link");
    link->LinkA().SetLinkedControl(a);
    link->LinkA().SetLinkPoint({20000, 15000});
    link->LinkB().SetLinkedControl(b);
    link->LinkB().SetLinkPoint({40000, 15000});
    source->PanelHistory().SetActive(true);
    target->PanelHistory().SetActive(true);
    source->Select(a);
    source->Select(b);
    source->Select(link);
  }
  ~PanelQtDrag() override {
    source.reset();
    target.reset();
  }
  TVexaControl* Box(const TRect& r, const std::string& name) {
    auto* box = TVexaControl::New<TVexaBox>(source.get(), source->GetActiveScheme(), source->GetActiveLayer());
    box->SetDocRect(r);
    box->SetName(name);
    // Filled, so that a press inside takes it.
    box->Brush().SetStyle(canvas::BrushStyle::Solid);
    box->Brush().SetColor(canvas::clRed);
    return box;
  }
  static std::string Text(TVexaPanel& panel) { return test::SavedText(panel); }
  // The desktop: enter and move over the target, then drop there with the keys given, or
  // leave and cancel.
  void Play(QPoint at, Qt::KeyboardModifiers keys, bool drop) {
    sourceWindow.dragRunner = [=, this](QDrag& drag, Qt::DropActions allowed, Qt::DropAction) {
      QWidget* view = targetWindow.viewport();
      QDragEnterEvent enter(QPoint(5, 5), allowed, drag.mimeData(), Qt::LeftButton, keys);
      QCoreApplication::sendEvent(view, &enter);
      entered = enter.isAccepted();
      QDragMoveEvent move(at, allowed, drag.mimeData(), Qt::LeftButton, keys);
      QCoreApplication::sendEvent(view, &move);
      shownWhileOver = target->ShownDragObject() != nullptr;
      if (!drop) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(view, &leave);
        return Qt::IgnoreAction;
      }
      QDropEvent dropped(QPointF(at), allowed, drag.mimeData(), Qt::LeftButton, keys);
      QCoreApplication::sendEvent(view, &dropped);
      return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
    };
  }

  panelwindow::TQtPanelWindow sourceWindow;
  panelwindow::TQtPanelWindow targetWindow;
  std::unique_ptr<TVexaPanel> source;
  std::unique_ptr<TVexaPanel> target;
  TVexaControl* a;
  TVexaControl* b;
  TVexaConnector* link;
  bool entered = false;
  bool shownWhileOver = false;
};

TEST_F(PanelQtDrag, ACopyDropArrivesSelectedAndOneUndoRemovesIt) {
  const std::string sourceBefore = Text(*source);
  const std::string before = Text(*target);
  Play({200, 150}, Qt::ControlModifier, true);
  EXPECT_EQ(panelwindow::TDropAction::Copy, source->DragSelection({15, 15}, true));
  EXPECT_TRUE(entered);
  EXPECT_TRUE(shownWhileOver);
  ASSERT_EQ(3, target->SelectedCount());
  std::vector<TVexaControl*> dropped;
  for (int i = 0; i < 3; ++i) dropped.push_back(target->Selected(i));
  EXPECT_TRUE(test::ConnectorsLinkTheirOwnBoxes(dropped));
  EXPECT_EQ(nullptr, target->ShownDragObject());
  const std::string after = Text(*target);
  ASSERT_EQ(1, target->PanelHistory().Count());
  ASSERT_TRUE(target->PanelHistory().Undo());
  EXPECT_EQ(before, Text(*target));
  ASSERT_TRUE(target->PanelHistory().Redo());
  EXPECT_EQ(after, Text(*target));
  // A copy: the source is as it was.
  EXPECT_EQ(sourceBefore, Text(*source));
  EXPECT_EQ(3, source->SelectedCount());
}

TEST_F(PanelQtDrag, AMoveDropDeletesInTheSourceAsItsOwnStepAndACancelLosesNothing) {
  const std::string sourceBefore = Text(*source);
  const std::string targetBefore = Text(*target);
  Play({200, 150}, Qt::NoModifier, false);
  source->StartAutoDrag();
  EXPECT_TRUE(shownWhileOver);
  EXPECT_EQ(sourceBefore, Text(*source));
  EXPECT_EQ(targetBefore, Text(*target));
  EXPECT_EQ(3, source->SelectedCount());
  EXPECT_EQ(0, source->PanelHistory().Count());

  Play({200, 150}, Qt::ShiftModifier, true);
  source->StartAutoDrag();
  EXPECT_EQ(0, source->GetActiveScheme()->GetCount());
  ASSERT_EQ(1, source->PanelHistory().Count());
  EXPECT_EQ(3, target->GetActiveScheme()->GetCount());
  ASSERT_TRUE(source->PanelHistory().Undo());
  EXPECT_EQ(sourceBefore, Text(*source));
}

TEST_F(PanelQtDrag, TheMouseLeavingTheWindowWhileMovingDragsTheSelection) {
  const struct {
    const char* what;
    Qt::KeyboardModifiers keys;
    bool drop;
    int sourceLeft;   // controls left in the source
    int sourceSteps;  // the move up to the edge, and a deletion after a move
    int targetGot;
  } cases[] = {
      {"cancelled", Qt::NoModifier, false, 3, 1, 0},
      {"dropped as a copy", Qt::ControlModifier, true, 3, 1, 3},
      {"dropped as a move", Qt::ShiftModifier, true, 0, 2, 3},
  };
  source->AutoDragEnabled = true;
  const std::string sourceBefore = Text(*source);
  const std::string targetBefore = Text(*target);
  const auto mouse = [this](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(p), QPointF(sourceWindow.viewport()->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(sourceWindow.viewport(), &event);
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    Play({200, 150}, row.keys, row.drop);
    const TPoint p = source->DocToPixelPoint({15000, 15000});
    mouse(QEvent::MouseButtonPress, {p.x, p.y}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, {p.x + 4, p.y}, Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(5, source->GetToolMode());
    mouse(QEvent::MouseMove, {-6, p.y}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(source->BaseToolMode(), source->GetToolMode());
    mouse(QEvent::MouseButtonRelease, {-6, p.y}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(row.sourceLeft, source->GetActiveScheme()->GetCount());
    EXPECT_EQ(row.sourceSteps, source->PanelHistory().Count());
    EXPECT_EQ(row.targetGot, target->GetActiveScheme()->GetCount());
    EXPECT_EQ(nullptr, target->ShownDragObject());
    EXPECT_TRUE(source->Parentless().empty());
    EXPECT_TRUE(target->Parentless().empty());
    // Back to the start for the next case: every step undone, the selection as it was.
    while (source->PanelHistory().Undo()) {
    }
    source->PanelHistory().Clear();
    EXPECT_EQ(sourceBefore, Text(*source));
    while (target->PanelHistory().Undo()) {
    }
    target->PanelHistory().Clear();
    EXPECT_EQ(targetBefore, Text(*target));
    source->UnselectAll();
    for (const char* name : {"a", "b", "link"}) source->Select(test::Named(*source->GetActiveScheme(), name).at(0));
  }
}

TEST_F(PanelQtDrag, AnotherProgramsBytesOfOurFormatDrop) {
  clipboard::TMemoryClipboard clip;
  source->SetClipboard(&clip);
  ASSERT_TRUE(source->CopyToClipboard());
  const std::vector<uint8_t> bytes = *clip.Data(VexaControlsMime());
  QMimeData mime;
  mime.setData(QString::fromStdString(VexaControlsMime()),
               QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  QWidget* view = targetWindow.viewport();
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(3, target->SelectedCount());
  // Bytes that are not ours are not taken.
  QMimeData other;
  other.setText("plain");
  QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

}  // namespace
}  // namespace pv::graphics
