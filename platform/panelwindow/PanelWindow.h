#pragma once
// The window of a document panel as the panel sees it: a client area with two scroll bars,
// invalidation and a cursor. The document library talks only to this port; the Qt scroll
// area and the null window implement it.

#include <cstdint>

#include "canvas/Canvas.h"
#include "canvas/CanvasTypes.h"

namespace pv::panelwindow {

using canvas::TRect;

enum class TScrollBarKind : uint8_t { Horizontal, Vertical };

// What the window tells its panel.
class IPanelWindowEvents {
 public:
  virtual ~IPanelWindowEvents() = default;
  virtual void WindowResized() = 0;
  // The user (or the window itself) moved a scroll bar.
  virtual void WindowScrolled(TScrollBarKind bar) = 0;
  // The window needs updateRect (client pixels) painted; canvas pixel (0, 0) is its
  // left-top, and the canvas is clipped to its size.
  virtual void WindowPaint(canvas::Canvas&, const TRect&) {}
};

class IPanelWindow {
 public:
  virtual ~IPanelWindow() = default;

  virtual void SetEvents(IPanelWindowEvents* events) = 0;
  // Placed in a host window: scroll geometry means something only then.
  virtual bool HasParent() const = 0;
  // The client area in pixels, origin (0, 0).
  virtual TRect ClientRect() const = 0;

  // The scroll bar covers 0 .. range pixels; it shows when the range exceeds the client
  // extent. line: the step of one arrow click.
  virtual void SetScrollRange(TScrollBarKind bar, int32_t range, int32_t line) = 0;
  virtual bool ScrollBarVisible(TScrollBarKind bar) const = 0;
  virtual int32_t ScrollPos(TScrollBarKind bar) const = 0;
  // Clamped to the range less the client extent.
  virtual void SetScrollPos(TScrollBarKind bar, int32_t pos) = 0;

  virtual void Invalidate(const TRect& rect) = 0;
  virtual void InvalidateAll() = 0;
  // An index of the screen's cursor table (0: the arrow).
  virtual void SetCursor(int index) = 0;
  virtual bool Focused() const = 0;
};

}  // namespace pv::panelwindow
