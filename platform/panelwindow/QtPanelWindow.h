#pragma once
// The document panel's window on a Qt scroll area. The panel paints each update rectangle
// through the Qt canvas into a cached image that only ever grows, which is then copied to
// the viewport. The scroll bars show the panel's scroll ranges: a bar covers 0 .. range
// pixels and shows only when the range exceeds the client extent, as the port promises.
// Mouse input on the viewport, keys, focus loss and hiding go to the panel in its terms.

#include <QAbstractScrollArea>
#include <QDrag>
#include <QImage>
#include <QRect>
#include <functional>

#include "panelwindow/PanelWindow.h"

namespace pv::panelwindow {

class TQtPanelWindow final : public QAbstractScrollArea, public IPanelWindow {
 public:
  explicit TQtPanelWindow(QWidget* parent = nullptr);
  ~TQtPanelWindow() override;

  // ==== Drag and drop (QtPanelWindowDrag.cpp): a drag carries the panel's object for
  // windows of this process and its bytes for other programs. dragRunner replaces the
  // desktop's drag loop (tests play the drop with synthetic events); none runs QDrag::exec.
  TDropAction StartDrag(const TDragData& data, TDropAction preferred) override;
  std::function<Qt::DropAction(QDrag& drag, Qt::DropActions allowed, Qt::DropAction preferred)> dragRunner;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // What the drag over the window carries, kept from its enter for its moves and its leave.
  TDragData dragData_;

 public:
  // ==== end of drag and drop

  void SetEvents(IPanelWindowEvents* events) override { events_ = events; }
  bool HasParent() const override { return true; }
  TRect ClientRect() const override;
  void SetScrollRange(TScrollBarKind bar, int32_t range, int32_t line) override;
  bool ScrollBarVisible(TScrollBarKind bar) const override;
  int32_t ScrollPos(TScrollBarKind bar) const override;
  void SetScrollPos(TScrollBarKind bar, int32_t pos) override;
  void Invalidate(const TRect& rect) override;
  void InvalidateAll() override;
  void SetCursor(int index) override;
  bool Focused() const override { return hasFocus(); }
  void TakeFocus() override { setFocus(Qt::OtherFocusReason); }
  void SetToolTip(const std::string& text) override;

  // The cache's size: it grows to the largest update rectangle painted, never shrinks.
  QSize CacheSize() const { return cache_.size(); }
  int CursorIndex() const { return cursor_; }
  QString ToolTip() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  QScrollBar* Bar(TScrollBarKind bar) const;
  int32_t Extent(TScrollBarKind bar) const;
  // Puts a bar's maximum and page step in line with its range and the viewport's size.
  void ApplyRange(TScrollBarKind bar);

  IPanelWindowEvents* events_ = nullptr;
  int32_t ranges_[2] = {0, 0};
  QImage cache_;
  int cursor_ = 0;
  // Scroll bar updates the window makes itself are not the user's scrolling.
  int settingBars_ = 0;
};

}  // namespace pv::panelwindow
