#include "panelwindow/NullPanelWindow.h"

#include <algorithm>

#include "canvas/RecordingCanvas.h"

namespace pv::panelwindow {

int32_t TNullPanelWindow::MaxPos(TScrollBarKind bar) const {
  return std::max(0, Bar(bar).range - Extent(bar));
}

void TNullPanelWindow::SetScrollRange(TScrollBarKind bar, int32_t range, int32_t line) {
  ScrollBar& b = Bar(bar);
  b.range = std::max(0, range);
  b.line = line;
  b.pos = std::clamp(b.pos, 0, MaxPos(bar));
}

bool TNullPanelWindow::ScrollBarVisible(TScrollBarKind bar) const { return Bar(bar).range > Extent(bar); }

void TNullPanelWindow::SetScrollPos(TScrollBarKind bar, int32_t pos) { Bar(bar).pos = std::clamp(pos, 0, MaxPos(bar)); }

void TNullPanelWindow::Invalidate(const TRect& rect) {
  invalidated.push_back(rect);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  if (pending_.right <= pending_.left || pending_.bottom <= pending_.top) {
    pending_ = rect;
    return;
  }
  pending_ = {std::min(pending_.left, rect.left), std::min(pending_.top, rect.top),
              std::max(pending_.right, rect.right), std::max(pending_.bottom, rect.bottom)};
}

void TNullPanelWindow::InvalidateAll() {
  ++wholeInvalidations;
  pending_ = ClientRect();
}

size_t TNullPanelWindow::PaintPending() {
  const TRect box{std::max(pending_.left, 0), std::max(pending_.top, 0), std::min(pending_.right, width_),
                  std::min(pending_.bottom, height_)};
  pending_ = {0, 0, 0, 0};
  if (!events_ || box.right <= box.left || box.bottom <= box.top) return 0;
  canvas::RecordingCanvas canvas({box.right - box.left, box.bottom - box.top});
  events_->WindowPaint(canvas, box);
  return canvas.Commands().size();
}

void TNullPanelWindow::Resize(int32_t width, int32_t height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  for (TScrollBarKind bar : {TScrollBarKind::Horizontal, TScrollBarKind::Vertical}) {
    Bar(bar).pos = std::clamp(Bar(bar).pos, 0, MaxPos(bar));
  }
  if (events_) events_->WindowResized();
}

void TNullPanelWindow::ScrollTo(TScrollBarKind bar, int32_t pos) {
  SetScrollPos(bar, pos);
  if (events_) events_->WindowScrolled(bar);
}

TDropAction TNullPanelWindow::StartDrag(const TDragData& data, TDropAction preferred) {
  ++dragsStarted;
  return dragScript ? dragScript(data, preferred) : TDropAction::None;
}

bool TNullPanelWindow::DragOver(const TDragData& data, TPoint point, TDragState state) {
  return events_ && events_->WindowDragOver(data, point, state);
}

TDropAction TNullPanelWindow::Drop(const TDragData& data, TPoint point, TDropAction action) {
  return events_ && events_->WindowDragDrop(data, point, action) ? action : TDropAction::None;
}

}  // namespace pv::panelwindow
