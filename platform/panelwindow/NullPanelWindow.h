#pragma once
// A panel window that shows nothing: its client size is whatever it was given, its scroll
// bars follow the rules of a real scroll area, and it counts what it was asked to repaint.
// For model tests and fuzzers.

#include <functional>
#include <string>
#include <vector>

#include "panelwindow/PanelWindow.h"

namespace pv::panelwindow {

class TNullPanelWindow final : public IPanelWindow {
 public:
  explicit TNullPanelWindow(int32_t width = 185, int32_t height = 41, bool hasParent = true)
      : width_(width), height_(height), hasParent_(hasParent) {}

  // ==== Drag and drop: a drag runs the script (none: the drag is cancelled); the script
  // plays the desktop, delivering events to windows through DragOver and Drop.
  TDropAction StartDrag(const TDragData& data, TDropAction preferred) override;
  std::function<TDropAction(const TDragData& data, TDropAction preferred)> dragScript;
  bool DragOver(const TDragData& data, TPoint point, TDragState state);
  // The action taken, or None when the panel refused the drop.
  TDropAction Drop(const TDragData& data, TPoint point, TDropAction action);
  int dragsStarted = 0;
  // ==== end of drag and drop

  void SetEvents(IPanelWindowEvents* events) override { events_ = events; }
  bool HasParent() const override { return hasParent_; }
  TRect ClientRect() const override { return {0, 0, width_, height_}; }
  void SetScrollRange(TScrollBarKind bar, int32_t range, int32_t line) override;
  bool ScrollBarVisible(TScrollBarKind bar) const override;
  int32_t ScrollPos(TScrollBarKind bar) const override { return Bar(bar).pos; }
  void SetScrollPos(TScrollBarKind bar, int32_t pos) override;
  void Invalidate(const TRect& rect) override;
  void InvalidateAll() override;
  void SetCursor(int index) override { cursor = index; }
  bool Focused() const override { return focused; }
  void TakeFocus() override { focused = true; }
  void SetToolTip(const std::string& text) override { toolTip = text; }

  // A new client size; the panel hears of it.
  void Resize(int32_t width, int32_t height);
  // The window's turn to paint, as a real one takes it once its events are handled: the panel
  // paints the bounding box of what was invalidated since (the whole client area after
  // InvalidateAll), cut to the client area, on a canvas whose pixel (0, 0) is the box's
  // left-top. Returns the number of canvas calls the paint made; 0 when nothing was pending.
  size_t PaintPending();
  // A scroll bar moved by the user; the panel hears of it.
  void ScrollTo(TScrollBarKind bar, int32_t pos);
  int32_t ScrollRange(TScrollBarKind bar) const { return Bar(bar).range; }
  int32_t ScrollLine(TScrollBarKind bar) const { return Bar(bar).line; }
  // Whoever listens: tests send input through it as the window would.
  IPanelWindowEvents* Events() const { return events_; }

  std::vector<TRect> invalidated;
  int wholeInvalidations = 0;
  int cursor = 0;
  bool focused = false;
  std::string toolTip;

 private:
  struct ScrollBar {
    int32_t range = 0;
    int32_t line = 0;
    int32_t pos = 0;
  };
  const ScrollBar& Bar(TScrollBarKind bar) const { return bar == TScrollBarKind::Horizontal ? horz_ : vert_; }
  ScrollBar& Bar(TScrollBarKind bar) { return bar == TScrollBarKind::Horizontal ? horz_ : vert_; }
  int32_t Extent(TScrollBarKind bar) const { return bar == TScrollBarKind::Horizontal ? width_ : height_; }
  int32_t MaxPos(TScrollBarKind bar) const;

  int32_t width_;
  int32_t height_;
  bool hasParent_;
  IPanelWindowEvents* events_ = nullptr;
  ScrollBar horz_;
  ScrollBar vert_;
  TRect pending_{0, 0, 0, 0};
};

}  // namespace pv::panelwindow
