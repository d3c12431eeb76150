#include "panelwindow/QtPanelWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "forms/Cursors.h"
#include "forms/PaintBox.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::panelwindow {

namespace {
int Index(TScrollBarKind bar) { return bar == TScrollBarKind::Horizontal ? 0 : 1; }

// The keys of an input event with the buttons held at that time.
TShiftState ShiftOf(const QInputEvent& event, Qt::MouseButtons buttons) {
  return forms::ShiftStateOf(event.modifiers(), buttons);
}

uint16_t KeyOf(int key) {
  switch (key) {
    case Qt::Key_Escape: return vkEscape;
    case Qt::Key_Left: return vkLeft;
    case Qt::Key_Up: return vkUp;
    case Qt::Key_Right: return vkRight;
    case Qt::Key_Down: return vkDown;
    case Qt::Key_Delete: return vkDelete;
    case Qt::Key_Shift: return vkShift;
    case Qt::Key_Control: return vkControl;
    case Qt::Key_Alt: return vkMenu;
    default:
      // Digits and capital letters carry the same numbers on both sides.
      return key >= 0x20 && key < 0x7F ? static_cast<uint16_t>(key) : 0;
  }
}
}  // namespace

TQtPanelWindow::TQtPanelWindow(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // Every pixel is painted from the cache: no background erase before a paint.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  viewport()->setMouseTracking(true);
  viewport()->setAcceptDrops(true);
}

TQtPanelWindow::~TQtPanelWindow() = default;

TRect TQtPanelWindow::ClientRect() const { return {0, 0, viewport()->width(), viewport()->height()}; }

QScrollBar* TQtPanelWindow::Bar(TScrollBarKind bar) const {
  return bar == TScrollBarKind::Horizontal ? horizontalScrollBar() : verticalScrollBar();
}

int32_t TQtPanelWindow::Extent(TScrollBarKind bar) const {
  return bar == TScrollBarKind::Horizontal ? viewport()->width() : viewport()->height();
}

void TQtPanelWindow::ApplyRange(TScrollBarKind bar) {
  ++settingBars_;
  QScrollBar* b = Bar(bar);
  const int32_t extent = Extent(bar);
  b->setPageStep(std::max(1, extent));
  b->setRange(0, std::max(0, ranges_[Index(bar)] - extent));
  --settingBars_;
}

void TQtPanelWindow::SetScrollRange(TScrollBarKind bar, int32_t range, int32_t line) {
  ranges_[Index(bar)] = std::max(0, range);
  ++settingBars_;
  Bar(bar)->setSingleStep(std::max(1, line));
  --settingBars_;
  ApplyRange(bar);
}

bool TQtPanelWindow::ScrollBarVisible(TScrollBarKind bar) const { return ranges_[Index(bar)] > Extent(bar); }

int32_t TQtPanelWindow::ScrollPos(TScrollBarKind bar) const { return Bar(bar)->value(); }

void TQtPanelWindow::SetScrollPos(TScrollBarKind bar, int32_t pos) {
  ++settingBars_;
  Bar(bar)->setValue(pos);  // the bar clamps to its range
  --settingBars_;
}

void TQtPanelWindow::Invalidate(const TRect& rect) {
  // Qt unites the pending update areas itself.
  viewport()->update(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)).normalized());
}

void TQtPanelWindow::InvalidateAll() { viewport()->update(); }

void TQtPanelWindow::SetCursor(int index) {
  cursor_ = index;
  viewport()->setCursor(forms::ScreenCursors().Get(index));
}

void TQtPanelWindow::paintEvent(QPaintEvent* event) {
  const QRect update = event->rect().intersected(viewport()->rect());
  if (update.isEmpty()) return;
  const int w = update.width();
  const int h = update.height();
  if (cache_.isNull() || w > cache_.width() || h > cache_.height()) {
    cache_ = QImage(std::max(w, cache_.width()), std::max(h, cache_.height()), QImage::Format_RGB32);
    cache_.fill(Qt::white);
  }
  {
    qtcanvas::QtCanvas canvas(cache_);
    canvas.IntersectClipRect({0, 0, w, h});
    if (events_) {
      events_->WindowPaint(canvas, {update.left(), update.top(), update.left() + w, update.top() + h});
    } else {
      canvas.SetBrush({canvas::BrushStyle::Solid, canvas::clWindow, nullptr});
      canvas.FillRect({0, 0, w, h});
    }
  }
  QPainter painter(viewport());
  painter.drawImage(update.topLeft(), cache_, QRect(0, 0, w, h));
}

bool TQtPanelWindow::viewportEvent(QEvent* event) {
  // The viewport, not the area, is the client: it also changes when a scroll bar comes or goes.
  if (event->type() == QEvent::Resize) {
    ApplyRange(TScrollBarKind::Horizontal);
    ApplyRange(TScrollBarKind::Vertical);
    if (events_) events_->WindowResized();
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TQtPanelWindow::scrollContentsBy(int, int) {
  if (settingBars_ > 0) return;
  // Which bar moved is not told: the panel rereads both positions either way.
  if (events_) events_->WindowScrolled(TScrollBarKind::Horizontal);
}

void TQtPanelWindow::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  // Handles hidden without focus come back.
  viewport()->update();
}

void TQtPanelWindow::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
  // A popup opened on a press takes the release with it.
  if (events_) events_->WindowFocusLost();
}

void TQtPanelWindow::hideEvent(QHideEvent* event) {
  QAbstractScrollArea::hideEvent(event);
  if (events_) events_->WindowHidden();
}

void TQtPanelWindow::SetToolTip(const std::string& text) {
  viewport()->setToolTip(QString::fromStdString(text));
  if (text.empty()) QToolTip::hideText();
}

QString TQtPanelWindow::ToolTip() const { return viewport()->toolTip(); }

// The scroll area hands the viewport's mouse events here with viewport positions.
void TQtPanelWindow::mousePressEvent(QMouseEvent* event) {
  const auto button = forms::ButtonOf(event->button());
  if (!button || !events_) return QAbstractScrollArea::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  events_->WindowMouseDown(*button, ShiftOf(*event, event->buttons()), p.x(), p.y());
}

void TQtPanelWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!events_) return QAbstractScrollArea::mouseMoveEvent(event);
  const QPoint p = event->position().toPoint();
  events_->WindowMouseMove(ShiftOf(*event, event->buttons()), p.x(), p.y());
}

void TQtPanelWindow::mouseReleaseEvent(QMouseEvent* event) {
  const auto button = forms::ButtonOf(event->button());
  if (!button || !events_) return QAbstractScrollArea::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  events_->WindowMouseUp(*button, ShiftOf(*event, event->buttons()), p.x(), p.y());
}

void TQtPanelWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  const auto button = forms::ButtonOf(event->button());
  if (!button || !events_) return QAbstractScrollArea::mouseDoubleClickEvent(event);
  const QPoint p = event->position().toPoint();
  events_->WindowDoubleClick(*button, ShiftOf(*event, event->buttons()) | forms::ssDouble, p.x(), p.y());
}

void TQtPanelWindow::keyPressEvent(QKeyEvent* event) {
  if (events_ && events_->WindowKeyDown(KeyOf(event->key()), ShiftOf(*event, QGuiApplication::mouseButtons()))) return;
  QAbstractScrollArea::keyPressEvent(event);
}

void TQtPanelWindow::keyReleaseEvent(QKeyEvent* event) {
  if (events_) events_->WindowKeyUp(KeyOf(event->key()), ShiftOf(*event, QGuiApplication::mouseButtons()));
  QAbstractScrollArea::keyReleaseEvent(event);
}

}  // namespace pv::panelwindow
