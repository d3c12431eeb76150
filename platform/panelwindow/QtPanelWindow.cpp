#include "panelwindow/QtPanelWindow.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "forms/Cursors.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::panelwindow {

namespace {
int Index(TScrollBarKind bar) { return bar == TScrollBarKind::Horizontal ? 0 : 1; }
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
}

}  // namespace pv::panelwindow
